#!/usr/bin/env bash
# Installs what building and testing Tavrin needs on Debian or Ubuntu, and
# nothing when it is all there already.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest python3 clang libclang-rt-14-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine wine32:i386 wine64
  xvfb xdotool x11-utils imagemagick fonts-wqy-microhei
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "setup: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
echo "setup: installing ${missing[*]}"
# Wine's 32-bit half comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
