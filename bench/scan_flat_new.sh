#!/usr/bin/env bash
# The first sync of a local folder of 200,000 new files by the command-line
# program (start, scan, save), beside find over the same folder; the figure is
# the ratio of wall times (sync / find), each side's best of three.
# The folder is kept (FERROVANE_BENCH_FLAT names another place) and made again
# only when it is not complete.
set -euo pipefail
flat=${FERROVANE_BENCH_FLAT:-${TMPDIR:-/tmp}/ferrovane-bench-flat}
cli="$FERROVANE_BENCH_DIR/../cli/ferrovane-cli"
[ -x "$cli" ] || { echo "ferrovane-cli not built in $cli" >&2; exit 1; }

if [ ! -e "$flat.complete" ]; then
    echo "making the benchmark folder in $flat (once)..." >&2
    rm -rf "$flat"
    "$FERROVANE_BENCH_DIR/ferrovane_make_tree" "$flat" 200000 0
    touch "$flat.complete"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ms_of() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}
best() { printf '%s\n' "$@" | sort -n | head -n 1; }

find_flat() { find "$flat" -printf '%s %T@ %p\n'; }
sync_new() {
    rm -rf "$work/data"
    "$cli" --data-dir "$work/data" add "$flat" --name flat --depth full >/dev/null
    ms_of "$cli" --data-dir "$work/data" sync
}
find_flat >/dev/null  # warms the page cache
find_runs=() sync_runs=()
for _ in 1 2 3; do
    find_runs+=("$(ms_of find_flat)")
    sync_runs+=("$(sync_new)")
done
find_ms=$(best "${find_runs[@]}")
sync_ms=$(best "${sync_runs[@]}")
echo "find_ms $find_ms"
echo "sync_ms $sync_ms"
echo "scan_flat_new: $(awk -v a="$sync_ms" -v b="$find_ms" 'BEGIN { printf "%.2f", a / b }') x"
