#!/usr/bin/env bash
# The Search dialog's figure, off screen; see bench/app/gui/search_bench.cpp.
set -euo pipefail
"$FERROVANE_BENCH_DIR/ferrovane_search_bench" gui_search_memory
