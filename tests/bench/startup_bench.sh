#!/usr/bin/env bash
# Start-up benchmarks of tesoro.exe under Wine, each a subject against a baseline started alternately in
# the same prefix and the same persistent Wine server, reported as min/median/max of the ratios:
#   bare        tesoro.exe (empty log, empty folder)   against a bare window of the same size
#   controls    the bare window with the main window's  against the bare window: the least a program
#               standard controls in it                 with those controls takes to start
#   c1000       1,000 log entries on C:, copies present against an empty log
#   c1000-gone  1,000 log entries on C:, copies gone    against an empty log
#   c32767      32,767 entries on C:, copies present    against an empty log
#   c32767-gone 32,767 entries on C:, copies gone       against an empty log
#   d32767      32,767 entries on D:                    against an empty log
#   files10000  a current folder of 10,000 files        against an empty folder
#   files30000  a current folder of 30,000 files        against an empty folder
# Usage: tests/bench/startup_bench.sh BUILD_DIR [ROUNDS] [NAME...]   (default: 7 rounds, every benchmark)
# AGAINST=OTHER_BUILD_DIR compares each subject with the other build's tesoro.exe started the same way
# instead of with its baseline (a ratio under 1: this build starts sooner), for a before/after.
set -euo pipefail

if [[ "${1:-}" == --inside-x ]]; then
    inside=1
    shift
fi
build=$(cd "${1:?usage: $0 BUILD_DIR [ROUNDS] [NAME...]}" && pwd)
rounds=${2:-7}
shift $(($# >= 2 ? 2 : 1))
names=("$@")
[[ ${#names[@]} -gt 0 ]] || names=(bare controls c1000 c1000-gone c32767 c32767-gone d32767 files10000 files30000)
for exe in tesoro.exe tests/bench/startup_bench.exe tests/bench/bare_window.exe; do
    [[ -f $build/$exe ]] || { echo "missing $build/$exe: build the windows build first" >&2; exit 2; }
done

if [[ -z ${inside:-} ]]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$0" --inside-x "$build" "$rounds" "${names[@]}"
fi

wine=/usr/lib/wine/wine64
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tesoro-bench.XXXXXX")
export WINEPREFIX
# shellcheck disable=SC2317  # called by the EXIT trap
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

wineserver -p
"$wine" wineboot -i >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

winpath() { printf 'Z:%s' "${1//\//\\}"; }

# Folders on C: and the prepared logs.
bench=$WINEPREFIX/drive_c/bench
logs=$WINEPREFIX/logs
mkdir -p "$bench/empty" "$bench/present" "$bench/gone" "$bench/files10000" "$bench/files30000" "$logs"
(cd "$bench/present" && seq -f 'copia%05g.BAK' 1 32767 | xargs touch)
(cd "$bench/files10000" && seq -f 'documento %05g.txt' 1 10000 | xargs -d '\n' touch)
(cd "$bench/files30000" && seq -f 'documento %05g.txt' 1 30000 | xargs -d '\n' touch)

# make_log FILE COUNT FORMAT: TESORO.DAT bytes of COUNT entries, FORMAT (printf) given the number twice.
make_log() {
    perl -e '
        my ($out, $count, $format) = @ARGV;
        open(my $f, ">:raw", $out) or die;
        print $f pack("vv", 2, $count), "\0" x 124;
        for my $i (1 .. $count) {
            my $line = sprintf($format, $i, $i);
            print $f pack("v", length $line), $line, "\0" x (126 - length $line);
        }' "$1" "$2" "$3"
}
make_log "$logs/c1000.dat" 1000 '7/12/2026:  copia%05d.txt -> C:\bench\present\copia%05d.BAK'
make_log "$logs/c1000-gone.dat" 1000 '7/12/2026:  copia%05d.txt -> C:\bench\gone\copia%05d.BAK'
make_log "$logs/c32767.dat" 32767 '7/12/2026:  copia%05d.txt -> C:\bench\present\copia%05d.BAK'
make_log "$logs/c32767-gone.dat" 32767 '7/12/2026:  copia%05d.txt -> C:\bench\gone\copia%05d.BAK'
make_log "$logs/d32767.dat" 32767 '7/12/2026:  copia%05d.txt -> D:\bench\present\copia%05d.BAK'

tesoro=$(winpath "$build/tesoro.exe")
bare=$(winpath "$build/tests/bench/bare_window.exe")
empty='C:\bench\empty'
compare() {
    "$wine" "$(winpath "$build/tests/bench/startup_bench.exe")" "$rounds" 'C:\windows\temp\TESORO.DAT' "$@" \
        2> >(grep -v 'FS volume label and serial are not available' >&2) | tr -d '\r'
}

# The folder and log a benchmark's subject starts with.
set_subject() {
    folder=$empty log=-
    case $1 in
        bare | controls) ;;
        c* | d*) log=$(winpath "$logs/$1.dat") ;;
        files*) folder="C:\\bench\\$1" ;;
        *) echo "unknown benchmark $1" >&2; exit 2 ;;
    esac
}

for name in "${names[@]}"; do
    echo "== $name"
    set_subject "$name"
    if [[ -n ${AGAINST:-} && $name == controls ]]; then
        echo "(no tesoro.exe in it: nothing to compare with the other build)"
    elif [[ -n ${AGAINST:-} ]]; then
        compare "$(winpath "$(cd "$AGAINST" && pwd)/tesoro.exe")" "$folder" "$log" "$tesoro" "$folder" "$log"
    elif [[ $name == bare ]]; then
        compare "$bare" "$empty" - "$tesoro" "$folder" "$log"
    elif [[ $name == controls ]]; then
        compare "$bare" "$empty" - "$bare?controls" "$folder" "$log"
    else
        compare "$tesoro" "$empty" - "$tesoro" "$folder" "$log"
    fi
done
