#!/usr/bin/env bash
# The first scan and the rescan of the tree beside the floor walker
# (ferrovane_floor_walk: getdents64 and fstatat, nothing else), with one thread
# beside its one-thread walk and in automatic mode beside its two-thread walk.
# The figure is the worst of the four ratios of wall times (ours / floor).
set -euo pipefail
. "$(dirname "$0")/scan_common.sh"
worst=0
for pair in "1 1" "0 2"; do
    set -- $pair
    figures=$(FERROVANE_BESIDE="$FERROVANE_BENCH_DIR/ferrovane_floor_walk $2" run_scan "$1")
    echo "threads $1 (0: automatic), floor threads $2:"
    echo "$figures"
    first=$(ratio "$(value first_scan_ms "$figures")" "$(value find_ms "$figures")")
    again=$(ratio "$(value rescan_ms "$figures")" "$(value find_again_ms "$figures")")
    echo "first scan / floor ($2 threads): $first"
    echo "rescan / floor ($2 threads): $again"
    worst=$(awk -v w="$worst" -v a="$first" -v b="$again" \
        'BEGIN { m = a > b ? a : b; print (m > w ? m : w) }')
done
echo "scan_vs_floor: $worst x"
