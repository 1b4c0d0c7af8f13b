#!/usr/bin/env bash
# Each dialog from its command to its first paint, offscreen; the figure is the
# slowest.
set -euo pipefail
gui="$FERROVANE_BENCH_DIR/ferrovane_gui_bench"
[ -x "$gui" ] || { echo "ferrovane_gui_bench not built (the desktop program is off)" >&2; exit 1; }
output=$("$gui" --benchmark_filter='^gui_dialogs_open')
echo "$output" | grep -v '^gui_dialogs_open: '
echo "target: at most 150 ms each"
echo "$output" | grep '^gui_dialogs_open: ' | tail -n 1
