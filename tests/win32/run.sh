#!/bin/sh
# Runs the built win32_services_check.exe under Wine in a private, throw-away prefix.
# Usage: tests/win32/run.sh path/to/win32_services_check.exe
set -eu
exe=$(realpath "$1")
wine=/usr/lib/wine/wine64
WINEPREFIX=$(mktemp -d)
WINEDEBUG=-all
export WINEPREFIX WINEDEBUG
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
"$wine" wineboot -i >/dev/null 2>&1
# Drive Q: stands for a folder that does not exist: a CD-ROM drive without a disc.
ln -s "$WINEPREFIX/no-disc" "$WINEPREFIX/dosdevices/q:"
"$wine" reg add 'HKLM\Software\Wine\Drives' /v q: /d cdrom /f >/dev/null 2>&1
wineserver -k 2>/dev/null || true
"$wine" "$exe" Q
