#!/usr/bin/env bash
# The interface thread's longest stall while a scan of 1,000,000 local files runs
# with the server expanded, off screen; see bench/app/gui/tree_bench.cpp.
set -euo pipefail
. "$(dirname "$0")/scan_common.sh"
make_tree_once
"$FERROVANE_BENCH_DIR/ferrovane_tree_bench" gui_tree_scan_stall "$tree"
