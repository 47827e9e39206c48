#!/usr/bin/env bash
# Runs the log view benchmark (the windows build) under Wine in a private prefix and a virtual display,
# and prints its table. Usage: tests/bench/log_view_bench.sh BUILD_DIR [ROUNDS]
set -euo pipefail
# shellcheck source=tests/bench/wine_bench.sh
source "$(dirname "$0")/wine_bench.sh"
bench_setup "$0" "$1" log_view_bench "${@:2}"
rounds=${2:-5}
"$wine" "$exe" "$rounds" | tr -d '\r'
