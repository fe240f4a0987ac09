#!/usr/bin/env bash
# Times thumbnails plus summary rows for 20 camera-sized JPEGs against
# vipsthumbnail in the same run, and the builder's extra peak memory for one
# picture. Not part of ./test. Usage: bench/summary_thumbs.sh [repetitions]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUILLON_BENCH_BUILD:-$root/build-bench}"

"$root/scripts/setup-deps" --bench
cmake -S "$root" -B "$build" -G Ninja -DQUILLON_BUILD_BENCH=ON -DQUILLON_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_summary_thumbs
"$build/bench/bench_summary_thumbs" "$@"
