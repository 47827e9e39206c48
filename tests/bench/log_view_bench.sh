#!/usr/bin/env bash
# Runs the log view benchmark (the windows build) under Wine in a private prefix and a virtual display,
# and prints its table. Usage: tests/bench/log_view_bench.sh BUILD_DIR [ROUNDS]
set -euo pipefail
build=$(realpath "$1")
rounds=${2:-5}
exe="$build/tests/bench/log_view_bench.exe"
[ -f "$exe" ] || { echo "build $exe first (the windows build)"; exit 1; }

if [[ -z ${DISPLAY:-} ]]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$0" "$@"
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/tesoro-bench.XXXXXX")
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
/usr/lib/wine/wine64 "$exe" "$rounds" | tr -d '\r'
