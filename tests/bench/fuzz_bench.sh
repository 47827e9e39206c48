#!/usr/bin/env bash
# Speed of fuzz targets (the fuzz build): runs per CPU-second on a fixed corpus with a fixed seed, the
# binaries taken in turn in each round (a baseline first, e.g. one built from an earlier commit), then
# min / median / max per binary. Nothing found by a run is kept.
# Usage: tests/bench/fuzz_bench.sh CORPUS_DIR RUNS ROUNDS BINARY...
set -euo pipefail
corpus=$1 runs=$2 rounds=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for ((round = 1; round <= rounds; round++)); do
    for ((i = 1; i <= $#; i++)); do
        binary=${!i}
        rm -rf "$work/out" && mkdir "$work/out"
        /usr/bin/time -f "%U %S" -o "$work/time" \
            "$binary" -runs="$runs" -seed=1 -artifact_prefix="$work/" "$work/out" "$corpus" 2>"$work/log" ||
            { tail -30 "$work/log"; exit 1; }
        read -r user system <"$work/time"
        cpu=$(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.2f", u + s }')
        rate=$(awk -v r="$runs" -v c="$cpu" 'BEGIN { printf "%.0f", r / c }')
        printf 'round %d  %-40s %6.2f CPU-s  %6d runs/CPU-s\n' "$round" "$binary" "$cpu" "$rate"
        echo "$rate" >>"$work/rates.$i"
    done
done

echo
printf '%-40s %8s %8s %8s  (runs per CPU-second)\n' binary min median max
for ((i = 1; i <= $#; i++)); do
    sort -n "$work/rates.$i" | awk -v name="${!i}" '{ v[NR] = $1 }
        END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
              printf "%-40s %8d %8d %8d\n", name, v[1], m, v[NR] }'
done
