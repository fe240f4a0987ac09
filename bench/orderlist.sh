#!/usr/bin/env bash
# The order list at 100,000 orders (or each size of --orders): start-up to
# the list ready, its memory, repaint, scrolling with thumbnails made on
# demand, and find. Not part of ./test.
# Usage: bench/orderlist.sh [--orders N[,N...]] [--screenshot FILE]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUILLON_BENCH_BUILD:-$root/bench-build}"

cmake -S "$root" -B "$build" -G Ninja -DQUILLON_BUILD_BENCH=ON -DQUILLON_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_orderlist
"$build/bench/bench_orderlist" "$@"
