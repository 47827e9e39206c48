#!/usr/bin/env bash
# Compares a copy through the copy button's handler with the progress window (the copy on a thread of its
# own) and without it (the same copy run in place), alternating in one run under Wine in Xvfb, and reports
# min/median/max of each and the ratio of the medians (with / without).
# Usage: tests/bench/progress_bench.sh BUILD_DIR [SIZE_MIB] [ROUNDS]
set -euo pipefail
# shellcheck source=tests/bench/wine_bench.sh
source "$(dirname "$0")/wine_bench.sh"
bench_setup "$0" "$1" progress_bench "${@:2}"
size_mib=${2:-1024}
rounds=${3:-5}

mkdir -p "$work/source" "$work/copies"
head -c "$((size_mib * 1024 * 1024))" /dev/urandom >"$work/source/imagen.dsk"

"$wine" "$exe" "$(winpath "$work/source/imagen.dsk")" "$(winpath "$work/copies")" "$rounds" \
    | tr -d '\r' | tee "$work/times.txt"
cmp -s "$work/source/imagen.dsk" "$work/copies/imagen.BAK" || { echo "the copy differs"; exit 1; }

stats() {  # min median max of the times of one kind
    grep "^$1 " "$work/times.txt" | awk '{print $2}' | sort -g |
        awk '{a[NR]=$1} END {m = (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2; print a[1], m, a[NR]}'
}
read -r wmin wmed wmax < <(stats with)
read -r omin omed omax < <(stats without)
printf '| %d MiB, %d rounds each | min | median | max |\n|---|---|---|---|\n' "$size_mib" "$rounds"
printf '| with progress window | %.3f s | %.3f s | %.3f s |\n' "$wmin" "$wmed" "$wmax"
printf '| without | %.3f s | %.3f s | %.3f s |\n' "$omin" "$omed" "$omax"
awk -v a="$wmed" -v b="$omed" 'BEGIN {printf "ratio of the medians (with / without): %.3f\n", a / b}'
