#!/bin/bash
# Runs the end-to-end tests against the windows build: tests/e2e/run.sh <build dir>
# E2E_ONLY=<text> runs only the scenarios whose "group/name" contains the text; E2E_DPIS="120 192" are
# the screen resolutions of the last phase.
# One private Wine prefix and one X server for the whole run; the CD-ROM scenarios come after the
# prefix's drive E: has been declared a CD-ROM drive, then the few that need another screen dpi.
set -euo pipefail

if [[ "${1:-}" == --inside-x ]]; then
    inside=1
    shift
fi
build=$(cd "${1:?usage: $0 <build dir>}" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
wine=/usr/lib/wine/wine64
driver=$build/tests/e2e/tesoro_e2e.exe
for file in "$build/tesoro.exe" "$driver"; do
    [[ -f $file ]] || { echo "missing $file: build the windows build first" >&2; exit 2; }
done

if [[ -z ${inside:-} ]]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$0" --inside-x "$build"
fi

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(mktemp -d /tmp/tesoro-e2e.XXXXXX)
export WINEPREFIX
screens_tmp=$WINEPREFIX/screens
# shellcheck disable=SC2317  # called by the EXIT trap
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

# A Linux path as the Windows program sees it, through drive Z:.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

"$root/scripts/wine-prefix" --unmanaged

# D: a readable drive with files and folders; A: a drive whose medium is missing.
data=$WINEPREFIX/drives
mkdir -p "$data/d/Fotos" "$data/d/Trabajo/Informes" "$data/cd" "$screens_tmp"
printf 'Lea esto.\r\n' >"$data/d/LEEME.TXT"
printf 'notas\r\n' >"$data/d/notas.txt"
printf 'foto' >"$data/d/Fotos/playa.jpg"
printf 'informe' >"$data/d/Trabajo/Informes/enero.doc"
printf 'disco' >"$data/cd/disco.txt"
ln -sfn "$data/d" "$WINEPREFIX/dosdevices/d:"
ln -sfn "$data/missing-floppy" "$WINEPREFIX/dosdevices/a:"
# Wine's mount manager reads the drives when it starts: restart the prefix's server to show them.
restart_wine() {
    wineserver -k
    wineserver -w
}
restart_wine

status=0
only=()
[[ -n ${E2E_ONLY:-} ]] && only=(--only "$E2E_ONLY")
run_driver() {
    "$wine" "$driver" --exe "$(winpath "$build/tesoro.exe")" --screens "$(winpath "$screens_tmp")" "${only[@]}" "$@" \
        2> >(grep -v 'FS volume label and serial are not available' >&2) \
        | tr -d '\r' | tee -a "$screens_tmp/output.txt" || status=1
}

run_driver --phase main

# E: becomes a CD-ROM drive once the Wine server has read the registry again.
ln -sfn "$data/cd" "$WINEPREFIX/dosdevices/e:"
"$wine" reg add 'HKLM\Software\Wine\Drives' /v e: /d cdrom /f >/dev/null 2>&1
restart_wine
run_driver --phase cdrom

# The screen's dpi, as a user sets it, is read by each program that starts after the server's restart.
for dpi in ${E2E_DPIS:-120 192}; do
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    restart_wine
    run_driver --phase dpi
done

mkdir -p "$build/e2e-screens"
for bmp in "$screens_tmp"/*.bmp; do
    [[ -e $bmp ]] || continue
    convert "$bmp" "$build/e2e-screens/$(basename "${bmp%.bmp}").png"
done

passed=$(grep -Eo '^[0-9]+ passed' "$screens_tmp/output.txt" | awk '{s += $1} END {print s + 0}')
failed=$(grep -Eo '[0-9]+ failed$' "$screens_tmp/output.txt" | awk '{s += $1} END {print s + 0}')
echo "end-to-end total: $passed passed, $failed failed (screenshots in $build/e2e-screens)"
exit $status
