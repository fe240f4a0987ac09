#!/usr/bin/env bash
# The counter board's order list at 100,000 orders: the server time of a
# page with and without a search, against the window's own search (goal:
# a first page under 50 ms). The user-interface thread's lateness with the
# board polled by 20 browsers is part of bench/window.sh. Not part of ./test.
#
#   bench/board.sh [runs] [--orders N]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUILLON_BENCH_BUILD:-$root/bench-build}"

"$root/scripts/setup-deps" --bench
cmake -S "$root" -B "$build" -G Ninja -DQUILLON_BUILD_BENCH=ON -DQUILLON_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_board_list
echo "processors: $(nproc), load average: $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bench/bench_board_list" --runs "${1:-21}" "${@:2}"
