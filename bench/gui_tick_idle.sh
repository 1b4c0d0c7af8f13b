#!/usr/bin/env bash
# One tick of the main window with 20 idle servers, over many ticks.
set -euo pipefail
gui="$FERROVANE_BENCH_DIR/ferrovane_gui_bench"
[ -x "$gui" ] || { echo "ferrovane_gui_bench not built (the desktop program is off)" >&2; exit 1; }
output=$("$gui" --benchmark_filter='^gui_tick_idle(/|$)')
echo "$output" | grep -v '^gui_tick_idle: '
echo "target: under 1 ms"
echo "$output" | grep '^gui_tick_idle: '
