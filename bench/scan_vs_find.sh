#!/usr/bin/env bash
# A first full scan and a rescan after 1% of the files changed, with one thread,
# each beside find on the same tree; the figure is the larger of the two ratios
# of wall times (scan / find).
set -euo pipefail
. "$(dirname "$0")/scan_common.sh"
figures=$(run_scan "${THREADS:-1}")
echo "$figures"
first=$(ratio "$(value first_scan_ms "$figures")" "$(value find_ms "$figures")")
again=$(ratio "$(value rescan_ms "$figures")" "$(value find_again_ms "$figures")")
echo "first scan / find: $first"
echo "rescan / find: $again"
echo "${NAME:-scan_vs_find}: $(awk -v a="$first" -v b="$again" 'BEGIN { print (a > b ? a : b) }') x"
