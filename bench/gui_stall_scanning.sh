#!/usr/bin/env bash
# The longest stalls of the window's event loop while four local scanners of
# 250,000 files each run. The four trees are made once in
# /tmp/ferrovane-bench-tree4 (or $FERROVANE_BENCH_TREE4), one folder each.
set -euo pipefail
tree4=${FERROVANE_BENCH_TREE4:-${TMPDIR:-/tmp}/ferrovane-bench-tree4}
stall="$FERROVANE_BENCH_DIR/ferrovane_gui_stall"
[ -x "$stall" ] || { echo "ferrovane_gui_stall not built (the desktop program is off)" >&2; exit 1; }

if [ ! -e "$tree4.complete" ]; then
    echo "making four trees of 250,000 files in $tree4 (once)..." >&2
    rm -rf "$tree4"
    mkdir -p "$tree4"
    for index in 1 2 3 4; do
        "$FERROVANE_BENCH_DIR/ferrovane_make_tree" "$tree4/$index" 250000 12500
    done
    touch "$tree4.complete"
fi

figures=$("$stall" "$tree4"/1 "$tree4"/2 "$tree4"/3 "$tree4"/4)
echo "$figures"
value() { echo "$figures" | awk -v name="$1" '$1 == name { print $2 }'; }
echo "targets: 99th percentile under 16 ms, longest under 50 ms"
echo "99th percentile of the gaps: $(value p99_ms) ms"
echo "gui_stall_scanning: $(value max_ms) ms"
