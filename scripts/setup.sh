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
    qt6-base-dev qt6-qpa-plugins
    libfontconfig-dev libfreetype-dev libharfbuzz-dev libfribidi-dev zlib1g-dev libjpeg62-turbo-dev
    libgtest-dev libbenchmark-dev clang libclang-rt-14-dev libjpeg-turbo-progs
    fonts-liberation2 fonts-dejavu-core
)
# Only the tests need these: tools that check font subsets, and a font collection and a CFF font.
if [[ $mode == test ]]; then
    packages+=(opentype-sanitizer python3-fonttools fonts-wqy-microhei fonts-urw-base35)
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
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUITTUNG_FUZZ=ON \
    -DQUITTUNG_BUILD_TESTS=OFF -DQUITTUNG_WERROR=ON
for corpus in fuzz/corpus/*/; do
    name=$(basename "$corpus")
    cmake --build build/fuzz --target "${name}_reader_fuzzer"
    work=build/fuzz/work/$name
    mkdir -p "$work"
    build/fuzz/fuzz/"${name}_reader_fuzzer" -max_total_time="${FUZZ_SECONDS:-60}" -rss_limit_mb=4096 \
        -print_final_stats=1 "$work" "$corpus" 2>&1 | tail -n 3
done

ctest --test-dir build/test --output-on-failure -j "$jobs"
