#!/usr/bin/env bash
# The tree pane's figure, off screen; see bench/app/gui/tree_bench.cpp.
set -euo pipefail
"$FERROVANE_BENCH_DIR/ferrovane_tree_bench" gui_tree_memory
