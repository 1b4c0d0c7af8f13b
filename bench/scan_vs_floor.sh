#!/usr/bin/env bash
# The first scan and the rescan of the tree beside the floor walker
# (ferrovane_floor_walk: getdents64 and fstatat, nothing else), with one thread
# beside its one-thread walk and in automatic mode beside its two-thread walk.
# The figure is the worst of the four ratios of wall times (ours / floor), each
# side's best of five alternating rounds: this machine's own swings are larger
# than the difference measured.
# For reference it also prints the same scans beside ferrovane_catalog_floor, the
# floor walker plus the least a catalog needs (an allocation per item, sorted
# folders, a rescan that compares with what was kept), and that floor beside the
# floor walker: what keeping any catalog at all costs over the walk alone.
set -euo pipefail
. "$(dirname "$0")/scan_common.sh"
worst=0
declare -A ours floor
for pair in "1 1" "0 2"; do
    set -- $pair
    figures=$(FERROVANE_ROUNDS=5 FERROVANE_BESIDE="$FERROVANE_BENCH_DIR/ferrovane_floor_walk $2" \
        run_scan "$1")
    echo "threads $1 (0: automatic), floor threads $2:"
    echo "$figures"
    ours[first $2]=$(value first_scan_ms "$figures")
    ours[again $2]=$(value rescan_ms "$figures")
    floor[first $2]=$(value find_ms "$figures")
    floor[again $2]=$(value find_again_ms "$figures")
    first=$(ratio "${ours[first $2]}" "${floor[first $2]}")
    again=$(ratio "${ours[again $2]}" "${floor[again $2]}")
    echo "first scan / floor ($2 threads): $first"
    echo "rescan / floor ($2 threads): $again"
    worst=$(awk -v w="$worst" -v a="$first" -v b="$again" \
        'BEGIN { m = a > b ? a : b; print (m > w ? m : w) }')
done
# The catalog floor's best of three runs, against our best of five.
for threads in 1 2; do
    first_best=1e300
    again_best=1e300
    for run in 1 2 3; do
        figures=$("$FERROVANE_BENCH_DIR/ferrovane_catalog_floor" "$threads" "$tree")
        echo "catalog floor, $threads threads, run $run:"
        echo "$figures"
        first_best=$(awk -v a="$first_best" -v b="$(value first_ms "$figures")" \
            'BEGIN { print (b < a ? b : a) }')
        again_best=$(awk -v a="$again_best" -v b="$(value again_ms "$figures")" \
            'BEGIN { print (b < a ? b : a) }')
    done
    echo "first scan / catalog floor ($threads threads):" \
        "$(ratio "${ours[first $threads]}" "$first_best")"
    echo "rescan / catalog floor ($threads threads):" \
        "$(ratio "${ours[again $threads]}" "$again_best")"
    echo "catalog floor / floor, first walk ($threads threads):" \
        "$(ratio "$first_best" "${floor[first $threads]}")"
    echo "catalog floor / floor, second walk ($threads threads):" \
        "$(ratio "$again_best" "${floor[again $threads]}")"
done
echo "scan_vs_floor: $worst x"
