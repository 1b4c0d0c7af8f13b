#!/usr/bin/env bash
# The desktop program's start on a catalog of a million files, from the process's
# start to the first paint of its main window, beside `ferrovane-cli list
# --no-check` on the same data folder; the median of 5 runs of each. The data
# folder is made once in /tmp/ferrovane-bench-gui-1m (or $FERROVANE_BENCH_GUI_DATA).
set -euo pipefail
data=${FERROVANE_BENCH_GUI_DATA:-${TMPDIR:-/tmp}/ferrovane-bench-gui-1m}
runs=5
cli="$FERROVANE_BENCH_DIR/../cli/ferrovane-cli"
start="$FERROVANE_BENCH_DIR/ferrovane_gui_start"
[ -x "$start" ] || { echo "ferrovane_gui_start not built (the desktop program is off)" >&2; exit 1; }

if [ ! -e "$data.complete" ]; then
    echo "making the data folder in $data (once)..." >&2
    rm -rf "$data"
    "$FERROVANE_BENCH_DIR/ferrovane_make_data_folder" "$data"
    touch "$data.complete"
fi

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
cli_seconds() {
    local begin end
    begin=$(date +%s%N)
    "$cli" --data-dir "$data" list --no-check >/dev/null
    end=$(date +%s%N)
    awk -v ns=$((end - begin)) 'BEGIN { printf "%.3f\n", ns / 1e9 }'
}

"$cli" --data-dir "$data" list --no-check >/dev/null  # warm the page cache
gui=() cli_times=()
for _ in $(seq "$runs"); do
    figures=$("$start" "$data")
    gui+=("$(echo "$figures" | awk '$1 == "first_paint_s" { print $2 }')")
    cli_times+=("$(cli_seconds)")
done
gui_median=$(printf '%s\n' "${gui[@]}" | median)
cli_median=$(printf '%s\n' "${cli_times[@]}" | median)
echo "window first painted (s): ${gui[*]}"
echo "ferrovane-cli list --no-check (s): ${cli_times[*]}"
echo "median: window $gui_median s, ferrovane-cli $cli_median s"
echo "window / ferrovane-cli: $(awk -v a="$gui_median" -v b="$cli_median" 'BEGIN { printf "%.2f", a / b }') x (target: at most 1.3 x)"
echo "target: at most 1.5 s"
echo "gui_start_1m: $gui_median s"
