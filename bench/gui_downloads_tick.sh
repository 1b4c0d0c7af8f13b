#!/usr/bin/env bash
# The downloads list's refresh of 1,000 jobs, once a second, offscreen; see
# bench/app/gui/DownloadListBench.cpp.
set -euo pipefail
gui="$FERROVANE_BENCH_DIR/ferrovane_gui_bench"
[ -x "$gui" ] || { echo "ferrovane_gui_bench not built (the desktop program is off)" >&2; exit 1; }
output=$("$gui" --benchmark_filter='^gui_downloads_tick')
echo "$output" | grep -v '^gui_downloads_tick: '
echo "$output" | grep '^gui_downloads_tick: ' | tail -n 1
