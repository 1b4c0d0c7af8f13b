#!/usr/bin/env bash
# Searching the catalog of a million files in process, beside grep -c over a text
# file of the same million paths, in the same run: for a mask that matches nothing
# and for one that matches about a tenth of the paths (a name starting with "a").
# Both must count the same paths; the figure is the larger of the two ratios of
# times (search / grep), each the best of five.
set -euo pipefail
command -v grep >/dev/null || { echo "search_vs_grep: grep is not installed" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
figures=$("$FERROVANE_BENCH_DIR/ferrovane_search_catalog" "$work" '*.mkv' '*_a')
echo "$figures"
value() { echo "$figures" | awk -v name="$1" '$1 == name { print $2 }'; }
mask() { echo "$figures" | awk -v mask="$1" -v field="$2" '$1 == "mask" && $2 == mask { print $field }'; }
paths=$(value paths_file)

count() { grep -ciF -- "$1" "$paths" || [ $? -eq 1 ]; }  # no line found is no failure
# Into a file: grep stops at the first match when its output is /dev/null.
best_grep_ms() {
    local best="" start end ms
    for _ in 1 2 3 4 5; do
        start=$(date +%s%N)
        count "$1" >"$work/count"
        end=$(date +%s%N)
        ms=$(awk -v ns=$((end - start)) 'BEGIN { printf "%.2f", ns / 1e6 }')
        best=$(awk -v a="$ms" -v b="${best:-$ms}" 'BEGIN { print (a < b ? a : b) }')
    done
    echo "$best"
}

count .mkv >"$work/count"  # warm the page cache
worst=0
for pair in '*.mkv:.mkv' '*_a:_a'; do
    mask_text=${pair%%:*}
    literal=${pair#*:}
    found=$(mask "$mask_text" 4)
    lines=$(count "$literal")
    [ "$found" = "$lines" ] || { echo "search_vs_grep: '$mask_text' found $found paths, grep $lines" >&2; exit 1; }
    search_ms=$(mask "$mask_text" 3)
    grep_ms=$(best_grep_ms "$literal")
    ratio=$(awk -v a="$search_ms" -v b="$grep_ms" 'BEGIN { printf "%.2f", a / b }')
    echo "'$mask_text' ($found paths): search $search_ms ms, grep -ciF $literal $grep_ms ms, ratio $ratio"
    worst=$(awk -v a="$ratio" -v b="$worst" 'BEGIN { print (a > b ? a : b) }')
done
echo "search_vs_grep: $worst x"
