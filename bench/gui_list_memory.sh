#!/usr/bin/env bash
# The list pane's figure, off screen; see bench/app/gui/list_bench.cpp.
set -euo pipefail
"$FERROVANE_BENCH_DIR/ferrovane_list_bench" gui_list_memory "$@"
