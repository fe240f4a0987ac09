#!/usr/bin/env bash
# Order statuses at 100,000 orders: the list ready with the status rows, a
# status change's time on the user-interface thread, the status filter.
# Not part of ./test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUILLON_BENCH_BUILD:-$root/bench-build}"

cmake -S "$root" -B "$build" -G Ninja -DQUILLON_BUILD_BENCH=ON -DQUILLON_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_statuses
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" "$build/bench/bench_statuses" "$@"
