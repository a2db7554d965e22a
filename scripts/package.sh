#!/usr/bin/env bash
# Builds the 32-bit and 64-bit programs and packs them with the user guide
# into dist/tavrin-VERSION.zip, VERSION being the project's one version number.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/build.sh windows
version=$(sed -n 's/^project(Tavrin VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
mkdir -p dist
python3 - "$version" <<'PY'
import sys
import zipfile

version = sys.argv[1]
root = f"tavrin-{version}"
with zipfile.ZipFile(f"dist/{root}.zip", "w", zipfile.ZIP_DEFLATED) as package:
    package.write("build/win32/tavrin.exe", f"{root}/tavrin.exe")
    package.write("build/win64/tavrin.exe", f"{root}/x64/tavrin.exe")
    # With a BOM and CRLF, Notepad shows the Chinese right on any Windows.
    guide = open("docs/user-guide.md", encoding="utf-8").read().replace("\n", "\r\n")
    package.writestr(f"{root}/user-guide.txt", "\ufeff" + guide)
print(f"dist/{root}.zip")
PY
