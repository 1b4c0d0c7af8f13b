#!/usr/bin/env bash
# The longest call to the scanner's progress count during a scan and a rescan of
# the million-file tree, in ms; also the processor time a held scanner's idle
# threads use over ten seconds.
set -euo pipefail
. "$(dirname "$0")/scan_common.sh"
figures=$(FERROVANE_IDLE_CHECK=1 run_scan 1)
echo "$figures"
echo "idle threads over 10 s: $(value idle_cpu_ms "$figures") ms of processor time"
echo "remaining_cost: $(value remaining_max_ms "$figures") ms"
