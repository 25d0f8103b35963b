#!/usr/bin/env bash
# Builds and runs every test: the regular build (its tests include the FHS
# layout staged and run on a CUPS queue), the Debian package with lintian,
# the sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer) and a
# bounded fuzzing run.
# Usage: tools/run-tests.sh [BUILD_ROOT]   (default: ./build)
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
root=${1:-$top/build}
jobs=${JOBS:-$(nproc)}
status=0

configure_and_build() {
    local dir=$1
    shift
    cmake -S "$top" -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1 ||
        { cat "$dir.configure.log"; return 1; }
    cmake --build "$dir" -j "$jobs"
}

run_ctest() {
    local dir=$1
    shift
    (cd "$dir" && ctest --output-on-failure --timeout 600 -j "$jobs" "$@") || status=1
}

mkdir -p "$root"

echo "== regular build"
configure_and_build "$root/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_ctest "$root/release"

echo "== Debian package (from a copy of the tree) and lintian"
bash "$top/tools/build-deb.sh" "$root/deb" || status=1

echo "== sanitizer build"
configure_and_build "$root/asan" -DCMAKE_BUILD_TYPE=Debug -DZRK_SANITIZE=ON -DZRK_BUILD_BENCHMARKS=OFF
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} \
LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$top/tests/lsan.supp:print_suppressions=0} \
UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
    run_ctest "$root/asan"

echo "== fuzzing"
if [ -f "$top/tests/fuzz/CMakeLists.txt" ]; then
    configure_and_build "$root/fuzz" -DZRK_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
    run_ctest "$root/fuzz"
fi

exit $status
