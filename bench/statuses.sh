#!/usr/bin/env bash
# Order statuses at 100,000 orders: the list ready with the status rows, a
# status change's time on the user-interface thread, the status filter.
# The anchor of the list's readiness is the order list's start-up in a build
# of ANCHOR (a git revision, default main), made in its own folder and
# measured in the same run. Not part of ./test.
# Usage: bench/statuses.sh [ANCHOR] [--orders N]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUILLON_BENCH_BUILD:-$root/bench-build}"
anchor="${1:-main}"
shift || true
anchorSource="$build/anchor-source"
anchorBuild="$build/anchor-build"

cmake -S "$root" -B "$build" -G Ninja -DQUILLON_BUILD_BENCH=ON -DQUILLON_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_statuses

# The revision's files, taken anew only when it has moved on.
revision=$(git -C "$root" rev-parse "$anchor^{commit}")
if [ "$(cat "$anchorSource.revision" 2>/dev/null)" != "$revision" ]; then
    rm -rf "$anchorSource"
    mkdir -p "$anchorSource"
    git -C "$root" archive "$revision" | tar -x -C "$anchorSource"
    echo "$revision" >"$anchorSource.revision"
fi
cmake -S "$anchorSource" -B "$anchorBuild" -G Ninja -DQUILLON_BUILD_BENCH=ON \
    -DQUILLON_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$anchorBuild" --target bench_orderlist

QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" "$build/bench/bench_statuses" \
    --anchor "$anchorBuild/bench/bench_orderlist" "$@"
