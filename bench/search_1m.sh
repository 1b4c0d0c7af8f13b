#!/usr/bin/env bash
# Searching the catalog of a million files for '*.avi' in process, beside grep of
# a text file of the same million paths, and beside the command-line program
# when the build has it.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
figures=$("$FERROVANE_BENCH_DIR/ferrovane_search_catalog" "$work")
echo "$figures"
value() { echo "$figures" | awk -v name="$1" '$1 == name { print $2 }'; }

# Into a file: grep stops at the first match when its output is /dev/null.
ms_of() {
    local start end
    start=$(date +%s%N)
    "$@" >"$work/out" || { echo "failed ($*)"; return; }
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

paths=$(value paths_file)
count_avi() { grep -ci avi "$1" || [ $? -eq 1 ]; }  # no line found is no failure
count_avi "$paths" >/dev/null  # warm the page cache
echo "grep -ci avi over the same paths: $(ms_of count_avi "$paths") ms"

cli="$FERROVANE_BENCH_DIR/../cli/ferrovane-cli"
if [ -x "$cli" ]; then
    echo "ferrovane-cli search '*.avi' (start, load, search): $(ms_of "$cli" --data-dir "$(value data_dir)" search '*.avi') ms"
else
    echo "ferrovane-cli not built: its search is not timed"
fi
echo "search_1m: $(value search_ms) ms"
