#!/usr/bin/env bash
# Loading TRUST.TXT at 50,000 and 100,000 customers in ascending, descending
# and random order, against the former one-by-one sorted insertion. Not part
# of ./test. Usage: bench/trust_load.sh [repetitions]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUILLON_BENCH_BUILD:-$root/bench-build}"

cmake -S "$root" -B "$build" -G Ninja -DQUILLON_BUILD_BENCH=ON -DQUILLON_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_trust_load
echo "processors: $(nproc), load average: $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bench/bench_trust_load" "$@"
