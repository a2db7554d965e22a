#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit tests on
# Linux, and the Windows-side and end-to-end tests under Wine on a virtual
# display of their own.
set -uo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh || exit 1
scripts/build.sh || { echo "build failed"; exit 1; }

mkdir -p build/artifacts
TAVRIN_SCREENSHOT_DIR="$PWD/build/artifacts" \
  ctest --test-dir build/linux --output-on-failure -j 2 --timeout 600 \
  --output-junit "$PWD/build/artifacts/ctest.xml"
status=$?
if [[ $status -eq 0 ]]; then echo "ALL TESTS PASSED"; else echo "TESTS FAILED"; fi
exit $status
