#!/usr/bin/env bash
# A rescan after 1% of the files changed (new, modified, deleted, spread over the
# tree), beside rsync -a --dry-run -i comparing the tree with a copy of its
# previous state, and beside rclone check --size-only where installed (shown,
# not in the figure). The program checks that every change was marked.
# The figure is the ratio of wall times (rescan / rsync), one thread and
# automatic mode each beside the same rsync; the larger of the two.
set -euo pipefail
. "$(dirname "$0")/scan_common.sh"
command -v rsync >/dev/null || { echo "rescan_vs_rsync needs rsync (apt-get install rsync)" >&2; exit 1; }
make_tree_once
# Two copies of the tree, made once: the one changed and undone by each run,
# and its previous state. A run that stopped half way leaves them to be made again.
copies=$tree.rsync
if [ ! -e "$copies.complete" ] || [ -e "$copies.dirty" ]; then
    echo "copying the benchmark tree to $copies (once)..." >&2
    rm -rf "$copies" "$copies.complete" "$copies.dirty"
    mkdir -p "$copies"
    cp -a "$tree" "$copies/now"
    # No file may be recent enough to be marked by the first scan.
    find "$copies/now" -type f -newermt '-10 days' -exec touch -d @1600000000 {} +
    cp -a "$copies/now" "$copies/before"
    touch "$copies.complete"
fi
worst=0
for threads in 1 0; do
    touch "$copies.dirty"
    figures=$("$FERROVANE_BENCH_DIR/ferrovane_rescan_changes" "$copies/now" "$copies/before" "$threads")
    rm -f "$copies.dirty"
    echo "threads $threads (0: automatic):"
    echo "$figures"
    one=$(ratio "$(value rescan_ms "$figures")" "$(value rsync_ms "$figures")")
    echo "rescan / rsync: $one"
    rclone=$(value rclone_ms "$figures")
    [ "$rclone" = "-1.0" ] || echo "rescan / rclone check: $(ratio "$(value rescan_ms "$figures")" "$rclone")"
    worst=$(awk -v w="$worst" -v a="$one" 'BEGIN { print (a > w ? a : w) }')
done
echo "rescan_vs_rsync: $worst x"
