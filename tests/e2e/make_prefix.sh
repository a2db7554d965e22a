#!/bin/sh
# Creates a fresh 32-bit Wine prefix for the end-to-end tests at DIR.
# Needs no display: wineboot and reg run headless.
set -eu

if [ $# -ne 1 ]; then
    echo "usage: $0 DIR" >&2
    exit 2
fi

WINEPREFIX=$1
WINEARCH=win32
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
export WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES
unset DISPLAY WAYLAND_DISPLAY

start=$(date +%s)
rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"

# The server's socket directory goes in a private TMPDIR, removed at the end,
# with the prefix's note of its name: each copy of the prefix makes its own.
TMPDIR=$(mktemp -d)
export TMPDIR
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -f "$WINEPREFIX/wineserver"
    rm -rf "$TMPDIR"
}
trap cleanup EXIT

wineboot -i

reg_add() {
    wine reg add "$@" /f >/dev/null
}

# Unmanaged windows close fast without a window manager; without take-focus
# keys are not lost when focus moves between Wine processes.
x11='HKCU\Software\Wine\X11 Driver'
reg_add "$x11" /v Managed /t REG_SZ /d N
reg_add "$x11" /v UseTakeFocus /t REG_SZ /d N

# The UI fonts fall back to WenQuanYi so Chinese texts show as glyphs.
link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
for font in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" System "Segoe UI"; do
    reg_add "$link" /v "$font" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei"
done

# The registry is written to disk when the server exits.
wineserver -w

saved() {
    grep -qF "$2" "$WINEPREFIX/$1" || {
        echo "$0: $2 not saved in $WINEPREFIX/$1" >&2
        exit 1
    }
}
saved user.reg '"Managed"="N"'
saved user.reg '"UseTakeFocus"="N"'
for font in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" System "Segoe UI"; do
    saved system.reg "\"$font\"=str(7):\"wqy-microhei.ttc,WenQuanYi Micro Hei\\0\""
done

echo "wine prefix ready at $WINEPREFIX in $(( $(date +%s) - start )) s"
