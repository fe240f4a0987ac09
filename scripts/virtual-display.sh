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
