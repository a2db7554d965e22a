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
configure build/linux -DCMAKE_BUILD_TYPE=Debug -DTAVRIN_SANITIZE=ON -DTAVRIN_WIN_BIN_DIR="$PWD/build/win32" \
  -DTAVRIN_WIN64_EXE="$PWD/build/win64/tavrin.exe"
cmake --build build/linux -j "$jobs"
