#!/usr/bin/env bash
# Compares the program's copy routine (run under Wine) with cp on the same disk, in the same run,
# alternating the two, and reports each round and the median ratio (program / cp).
# Usage: tests/bench/copy_bench.sh BUILD_DIR [SIZE_MIB] [ROUNDS]
set -euo pipefail
build=$(realpath "$1")
size_mib=${2:-1024}
rounds=${3:-5}
exe="$build/tests/bench/copy_bench.exe"
[ -f "$exe" ] || { echo "build $exe first (the windows build)"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tesoro-bench.XXXXXX")
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1

head -c "$((size_mib * 1024 * 1024))" /dev/urandom >"$work/source.bin"
winpath() { echo "Z:${1//\//\\}"; }

now() { date +%s.%N; }
ratios=()
for round in $(seq "$rounds"); do
    program=$(/usr/lib/wine/wine64 "$exe" "$(winpath "$work/source.bin")" "$(winpath "$work/program.bin")" | tr -d "\r")
    cmp -s "$work/source.bin" "$work/program.bin" || { echo "copy differs"; exit 1; }
    rm -f "$work/program.bin" "$work/cp.bin"
    sync
    start=$(now); cp "$work/source.bin" "$work/cp.bin"; end=$(now)
    plain=$(awk -v a="$start" -v b="$end" 'BEGIN {print b - a}')
    rm -f "$work/cp.bin"
    sync
    ratio=$(awk -v p="$program" -v c="$plain" 'BEGIN {print p / c}')
    ratios+=("$ratio")
    printf 'round %d: program %.3f s, cp %.3f s, ratio %.2f\n' "$round" "$program" "$plain" "$ratio"
done
median=$(printf '%s\n' "${ratios[@]}" | sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}')
printf 'median ratio (program / cp) over %d rounds of %d MiB: %.2f\n' "$rounds" "$size_mib" "$median"
