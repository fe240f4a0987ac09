#!/usr/bin/env bash
# The main window's two benchmarks: process start to the window shown (empty
# and 100,000-order OE.DB, against a bare Qt window) and the user-interface
# thread's worst lateness while 20 orders of 10 camera-sized pictures arrive
# 4 at a time (against the shop without a window and the idle window). On a
# virtual X display when Xvfb is installed, else on the offscreen platform.
# Not part of ./test.
#
#   bench/window.sh [startup runs] [lateness repetitions]
#
# QUILLON_BENCH_ORDERS=100000,1000000 times the window with each size of OE.DB.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUILLON_BENCH_BUILD:-$root/bench-build}"

"$root/scripts/setup-deps" --bench
cmake -S "$root" -B "$build" -G Ninja -DQUILLON_BUILD_BENCH=ON -DQUILLON_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target quillon quillon-netsim bench_bare_window bench_window_startup \
    bench_window_lateness

source "$root/scripts/virtual-display.sh"
use_bench_display
echo "processors: $(nproc), load average: $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bench/bench_window_startup" --runs "${1:-9}" --orders "${QUILLON_BENCH_ORDERS:-100000}"
echo
"$build/bench/bench_window_lateness" --repetitions "${2:-3}"
