#!/usr/bin/env bash
# Installs what is missing, builds the 32-bit program and starts it under Wine
# on your X display, in a Wine prefix of its own.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ -z "${DISPLAY:-}" ]]; then
  echo "run: no X display (DISPLAY is not set); Tavrin is a desktop program and needs one" >&2
  exit 2
fi
scripts/setup.sh
scripts/build.sh win32

prefix="${TAVRIN_WINEPREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/tavrin/wineprefix}"
if [[ ! -f "$prefix/system.reg" ]]; then
  echo "run: preparing a Wine prefix in $prefix (once)"
  tests/e2e/make_prefix.sh "$prefix"
fi
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
exec wine build/win32/tavrin.exe
