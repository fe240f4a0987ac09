#!/usr/bin/env bash
# The user-interface thread's worst lateness while the midnight purge removes
# 50,000 orders with their folders and rewrites OE.DB, with the main window
# up, against the same purge done on that thread. On a virtual X display
# when Xvfb is installed, else on the offscreen platform. Not part of ./test.
#
#   bench/purge.sh [repetitions] [bench_purge_lateness options]
#   bench/purge.sh 5 --purged 500000 --no-folders
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUILLON_BENCH_BUILD:-$root/bench-build}"

"$root/scripts/setup-deps" --bench
cmake -S "$root" -B "$build" -G Ninja -DQUILLON_BUILD_BENCH=ON -DQUILLON_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_purge_lateness

source "$root/scripts/virtual-display.sh"
use_bench_display
echo "processors: $(nproc), load average: $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bench/bench_purge_lateness" --repetitions "${1:-3}" "${@:2}"
