# shellcheck shell=bash
# Sourced by the benchmark scripts that run a benchmark program of the windows build under Wine in a
# virtual display, each in a private prefix in a temporary folder that goes at exit:
#   bench_setup SCRIPT BUILD_DIR NAME ARGS...   runs SCRIPT again inside Xvfb (with ARGS, BUILD_DIR first)
#                                               unless it already is, then sets exe to the program
#                                               BUILD_DIR/tests/bench/NAME.exe, work to the temporary
#                                               folder, and boots the prefix
#   winpath PATH                                the Linux path as the program sees it, through drive Z:
wine=/usr/lib/wine/wine64

bench_setup() {
    local script=$1 build=$2 name=$3
    shift 3
    exe="$(realpath "$build")/tests/bench/$name.exe"
    [ -f "$exe" ] || { echo "build $exe first (the windows build)"; exit 1; }
    if [[ -z ${TESORO_BENCH_INSIDE_X:-} ]]; then
        TESORO_BENCH_INSIDE_X=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$script" "$build" "$@"
    fi
    work=$(mktemp -d "${TMPDIR:-/tmp}/tesoro-bench.XXXXXX")
    export WINEPREFIX="$work/prefix" WINEDEBUG=-all
    trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
    "$wine" wineboot -i >/dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
}

winpath() { echo "Z:${1//\//\\}"; }
