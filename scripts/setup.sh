#!/usr/bin/env bash
# Installs the Debian packages Quittung needs that are missing, builds it, and then either starts the
# program ("run") or runs every test ("test"). Safe to run again.
set -euo pipefail

mode=${1:-}
if [[ $mode != run && $mode != test ]]; then
    echo "usage: $0 run|test" >&2
    exit 2
fi
cd "$(dirname "$0")/.."

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-qpa-plugins qt6-translations-l10n
    libfontconfig-dev libfreetype-dev libharfbuzz-dev libfribidi-dev zlib1g-dev libjpeg62-turbo-dev
    libgtest-dev libbenchmark-dev libjpeg-turbo-progs
    fonts-liberation2 fonts-dejavu-core
)
# Only the tests need these: tools that check font subsets and PDF files, a font collection and a CFF font,
# a virtual display and xdotool for pressing the receipt button as a user does, a CUPS scheduler the
# printing tests start for themselves, the tools that check the menu entry and build and read the .deb; and
# for the fuzz targets clang with its libFuzzer runtime and the symbolizer of its sanitizer reports,
# all of one version, so a point release of the unversioned packages cannot split them.
clang_version=14
if [[ $mode == test ]]; then
    packages+=(opentype-sanitizer python3-fonttools fonts-wqy-microhei fonts-urw-base35 qpdf poppler-utils mupdf-tools
        xvfb xdotool cups cups-client desktop-file-utils dpkg-dev file
        "clang-$clang_version" "libclang-rt-$clang_version-dev" "llvm-$clang_version")
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null | grep -q '^ii' || missing+=("$package")
done
if ((${#missing[@]})); then
    sudo=()
    ((EUID == 0)) || sudo=(sudo)
    echo "Installing ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
if [[ $mode == run ]]; then
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUITTUNG_BUILD_TESTS=OFF
    cmake --build build/release --target Quittung
    exec build/release/Quittung/Quittung
fi

# Tests run in a build with AddressSanitizer and UndefinedBehaviorSanitizer, warnings as errors.
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUITTUNG_SANITIZE=ON -DQUITTUNG_WERROR=ON
cmake --build build/test
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# A short fuzz run of every parser that reads files from outside, seeded with the corpus in fuzz/.
# A run prints one line; one that finds a fault prints its whole report, keeps the input that shows
# it in build/fuzz/artifacts/<corpus>/ and makes the test command fail after the tests have run.
CC=clang-$clang_version CXX=clang++-$clang_version cmake -S . -B build/fuzz -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUITTUNG_FUZZ=ON -DQUITTUNG_BUILD_TESTS=OFF -DQUITTUNG_WERROR=ON
export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-$clang_version/bin/llvm-symbolizer
fuzz_failures=()
for corpus in fuzz/corpus/*/; do
    name=$(basename "$corpus")
    target=build/fuzz/fuzz/${name}_reader_fuzzer
    cmake --build build/fuzz --target "${name}_reader_fuzzer"
    mkdir -p "build/fuzz/work/$name" "build/fuzz/artifacts/$name"
    log=build/fuzz/$name.log
    if "$target" -max_total_time="${FUZZ_SECONDS:-60}" -rss_limit_mb=4096 -print_final_stats=1 \
        -artifact_prefix="build/fuzz/artifacts/$name/" "build/fuzz/work/$name" "$corpus" >"$log" 2>&1; then
        awk -v name="$name" '/^stat::number_of_executed_units/ { runs = $2 } /^stat::average_exec_per_sec/ { rate = $2 }
            END { printf "Fuzzing %s: %s inputs, %s a second, nothing found\n", name, runs, rate }' "$log"
    else
        # Everything but the progress lines: the sanitizer's or the target's report and the input.
        grep -v -E '^#[0-9]+[[:space:]]' "$log" >&2 || true
        echo "Fuzzing $name found a fault; repeat it with: $target <the input written above>" >&2
        fuzz_failures+=("$name")
    fi
done

status=0
ctest --test-dir build/test --output-on-failure -j "$jobs" || status=1
if ((${#fuzz_failures[@]})); then
    echo "Fuzzing found faults in: ${fuzz_failures[*]} (inputs in build/fuzz/artifacts/)" >&2
    status=1
fi
exit "$status"
