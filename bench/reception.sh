#!/usr/bin/env bash
# Order reception over loopback: a 400 MB order in 64 KiB and 1 MiB blocks
# to a raw copy, a minimal C receiver and the shop, side by side; then the
# shop's peak memory while it receives one 1 GiB picture. Not part of ./test.
# Usage: bench/reception.sh [repetitions [bench_reception options]]
# (bench_reception --compare PROGRAM adds another build's shop beside ours.)
#
# The received files go to a temporary folder on tmpfs (RAM) when it has
# room, so the figures are the transfer's, not the disk's; set
# QUILLON_BENCH_DATA to a folder to measure on another file system. The
# temporary folder is removed at the end.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUILLON_BENCH_BUILD:-$root/bench-build}"
repetitions="${1:-5}"
shift || true
# One 400 MB order at a time, then the 1 GiB picture, with room to spare.
need_mb=2048

"$root/scripts/setup-deps"
cmake -S "$root" -B "$build" -G Ninja -DQUILLON_BUILD_BENCH=ON -DQUILLON_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_reception bench_minimal_receiver

free_mb() { df -Pm "$1" | awk 'NR == 2 { print $4 }'; }

base="${QUILLON_BENCH_DATA:-}"
if [ -z "$base" ]; then
    base="${TMPDIR:-/tmp}"
    if [ -d /dev/shm ] && [ -w /dev/shm ] && [ "$(free_mb /dev/shm)" -ge "$need_mb" ]; then
        base=/dev/shm
    fi
fi
if [ "$(free_mb "$base")" -lt "$need_mb" ]; then
    echo "fewer than $need_mb MB free in $base; set QUILLON_BENCH_DATA to a roomier folder" >&2
    exit 1
fi
data="$(mktemp -d "$base/quillon-reception.XXXXXX")"
trap 'rm -rf "$data"' EXIT
df -h "$base"
echo "processors: $(nproc), load average: $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bench/bench_reception" --dir "$data" --repetitions "$repetitions" "$@"
