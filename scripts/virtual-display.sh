# Sourced by the scripts that need a virtual X display (scripts/screenshot,
# bench/window.sh). start_virtual_display starts Xvfb on the first display
# number that no X server uses, waits for it (at most 10 s), exports DISPLAY
# and sets xvfb_pid, which the caller's exit trap stops.
xvfb_pid=
start_virtual_display() {
    local n
    for n in $(seq 90 199); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 100); do
            if [ -e "/tmp/.X11-unix/X$n" ]; then
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        echo "Xvfb did not start on display :$n" >&2
        return 1
    done
    echo "no free X display number" >&2
    return 1
}

# For the benchmarks that show windows: a virtual X display when Xvfb is
# installed, else the offscreen platform, and a private runtime folder when
# there is none; all undone when the script exits.
use_bench_display() {
    bench_runtime=
    trap 'cleanup_bench_display' EXIT
    if command -v Xvfb >/dev/null; then
        start_virtual_display
        export QT_QPA_PLATFORM=xcb
    else
        export QT_QPA_PLATFORM=offscreen
    fi
    # Qt wants a private runtime folder; a run as another user may have none.
    if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
        bench_runtime=$(mktemp -d)
        export XDG_RUNTIME_DIR=$bench_runtime
    fi
}
cleanup_bench_display() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    [ -n "$bench_runtime" ] && rm -rf "$bench_runtime"
    return 0
}
