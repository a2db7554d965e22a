#!/usr/bin/env bash
# Builds everything into build/: the Linux unit tests (with sanitizers), the
# 32-bit program and its Windows-side tests, and the 64-bit program.
#   scripts/build.sh            all three
#   scripts/build.sh win32      only the 32-bit program
#   scripts/build.sh windows    the 32-bit and 64-bit programs
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

configure() {  # dir, extra args...
  local dir=$1; shift
  [[ -f "$dir/CMakeCache.txt" ]] || cmake -S . -B "$dir" "${generator[@]}" "$@" >/dev/null
}

build_win() {  # arch, tests
  configure "build/win$1" -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$2.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DTAVRIN_TESTS="$3"
  cmake --build "build/win$1" -j "$jobs"
}

build_win 32 i686 ON
[[ "${1:-all}" == win32 ]] && exit 0
build_win 64 x86_64 OFF
[[ "${1:-all}" == windows ]] && exit 0
# The libFuzzer targets, in a clang build of their own when clang can make
# them; the Linux build runs them as tests.
fuzz=()
if echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' |
    clang++ -x c++ -fsanitize=fuzzer,address,undefined -o /dev/null - 2>/dev/null; then
  configure build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIN_SANITIZE=ON \
    -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link -DTAVRIN_FUZZ=ON
  cmake --build build/fuzz -j "$jobs"
  fuzz=(-DTAVRIN_FUZZ_BIN_DIR="$PWD/build/fuzz")
fi
configure build/linux -DCMAKE_BUILD_TYPE=Debug -DTAVRIN_SANITIZE=ON -DTAVRIN_WIN_BIN_DIR="$PWD/build/win32" \
  -DTAVRIN_WIN64_EXE="$PWD/build/win64/tavrin.exe" "${fuzz[@]}"
# A Linux build configured before the fuzz build existed learns of it here.
if [[ ${#fuzz[@]} -gt 0 ]] && ! grep -qx "TAVRIN_FUZZ_BIN_DIR:PATH=$PWD/build/fuzz" build/linux/CMakeCache.txt; then
  cmake -S . -B build/linux "${fuzz[@]}" >/dev/null
fi
cmake --build build/linux -j "$jobs"
