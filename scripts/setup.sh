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
    qt6-base-dev qt6-qpa-plugins qt6-translations-l10n qt6-tools-dev qt6-l10n-tools
    libfontconfig-dev libfreetype-dev libharfbuzz-dev libfribidi-dev zlib1g-dev libjpeg62-turbo-dev
    libgtest-dev libbenchmark-dev libjpeg-turbo-progs
    fonts-liberation2 fonts-dejavu-core
)
# Only the tests need these: tools that check font subsets and PDF files, a font collection and a CFF font,
# German settings for the command line's examples (de_DE.UTF-8, generated below), a virtual display and
# xdotool for pressing the receipt button as a user does, a CUPS scheduler the
# printing tests start for themselves, the tools that check the menu entry and build and read the .deb,
# ReportLab, which the command line's benchmark runs beside it; and clang, which builds the tests and
# the fuzz targets, with its linker, its libFuzzer runtime and the symbolizer of its sanitizer reports,
# all of one version, so a point release of the unversioned packages cannot split them.
clang_version=14
if [[ $mode == test ]]; then
    packages+=(opentype-sanitizer python3-fonttools fonts-wqy-microhei fonts-urw-base35 qpdf poppler-utils mupdf-tools
        xvfb xdotool cups cups-client desktop-file-utils dpkg-dev file python3-reportlab fontconfig binutils locales
        "clang-$clang_version" "lld-$clang_version" "libclang-rt-$clang_version-dev" "llvm-$clang_version")
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null | grep -q '^ii' || missing+=("$package")
done
sudo=()
((EUID == 0)) || sudo=(sudo)
if ((${#missing[@]})); then
    echo "Installing ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The command line's examples are tested under German settings too.
if [[ $mode == test ]] && ! locale -a 2>/dev/null | grep -qx 'de_DE.utf8'; then
    echo "Generating the locale de_DE.UTF-8"
    "${sudo[@]}" sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -qx 'de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
    "${sudo[@]}" locale-gen >/dev/null
fi

jobs=$(nproc 2>/dev/null || echo 2)
if [[ $mode == run ]]; then
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUITTUNG_BUILD_TESTS=OFF
    cmake --build build/release --target Quittung
    exec build/release/Quittung/Quittung
fi

# One build serves the tests and the fuzz targets: clang with AddressSanitizer and
# UndefinedBehaviorSanitizer, warnings as errors, the parsers' libraries with libFuzzer's coverage.
# The fuzz targets run as tests (label fuzz) beside the others, FUZZ_SECONDS (default 60) each;
# FUZZ_SECONDS=0 leaves them out. A fault a fuzz target finds leaves its input in
# build/test/fuzz/artifacts/<name>/.
# lld links the sanitized programs in a third of ld's time.
CC=clang-$clang_version CXX=clang++-$clang_version cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DQUITTUNG_SANITIZE=ON -DQUITTUNG_FUZZ=ON -DQUITTUNG_WERROR=ON \
    -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld
cmake --build build/test
# The tests of objects shared between threads once more with ThreadSanitizer (label threads), which
# cannot be combined with AddressSanitizer: only that program and what it links are built.
CC=clang-$clang_version CXX=clang++-$clang_version cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DQUITTUNG_TSAN=ON -DQUITTUNG_BUILD_BENCHMARKS=OFF -DQUITTUNG_WERROR=ON \
    -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld
cmake --build build/tsan --target thread_tests
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export ASAN_SYMBOLIZER_PATH=${ASAN_SYMBOLIZER_PATH:-/usr/lib/llvm-$clang_version/bin/llvm-symbolizer}

exclude=()
[[ ${FUZZ_SECONDS:-60} == 0 ]] && exclude=(-LE fuzz)
# One test more at a time than there are cores, since many tests wait for the processes they start;
# the fuzz targets start first and run beside the rest.
exec ctest --test-dir build/test --output-on-failure -j "$((jobs + 1))" "${exclude[@]}"
