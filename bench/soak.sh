#!/usr/bin/env bash
# A day at a busy shop, in ten minutes: the shop with its window (on a
# virtual X display when Xvfb is installed, else on the offscreen platform)
# starts with 50,000 aged orders that have order folders, then receives 2,000
# orders of 1 to 20 pictures from 4 senders at once while 10 browsers poll the
# counter board, a status changes there every second, the shop logs in and
# fetches its history every minute and the midnight purge removes the aged
# orders half-way. Reports the shop's memory, threads and open files, the
# user-interface thread's lateness (beside a bare event loop's: the
# machine's own), and whether every order and status change was kept
# (bench/soak.py), against the goals. Sized for 2 processors; about 10 GB of
# disk while it runs. Not part of ./test.
#
#   bench/soak.sh [--quick] [--orders N] [--aged N] [--minutes M] [--folder DIR] [--keep]
#
# --quick: 5,000 aged orders, 200 orders, 2 minutes.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUILLON_BENCH_BUILD:-$root/bench-build}"

"$root/scripts/setup-deps" --bench
"$root/scripts/setup-deps" --screenshot # Xvfb
cmake -S "$root" -B "$build" -G Ninja -DQUILLON_BUILD_BENCH=ON -DQUILLON_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target quillon quillon-netsim bench_soak bench_soak_shop

source "$root/scripts/virtual-display.sh"
use_bench_display
echo "processors: $(nproc), load average: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 "$root/bench/soak.py" --build "$build" "$@"
