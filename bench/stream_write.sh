#!/usr/bin/env bash
# Runs a stream benchmark (stream_write by default, or the one named in $1) and
# times `cat FILE >/dev/null` on the same file in the same run, as the yardstick
# of what the page cache gives. The last line is the benchmark's figure.
set -euo pipefail
name=${1:-stream_write}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
export FERROVANE_STREAM_FILE=$folder/records.dat

output=$("$FERROVANE_BENCH" --benchmark_filter="^${name}(/|\$)")
echo "$output"

size=$(stat -c %s "$FERROVANE_STREAM_FILE")
cat "$FERROVANE_STREAM_FILE" >/dev/null  # warm
best=0
for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    cat "$FERROVANE_STREAM_FILE" >/dev/null
    end=$(date +%s%N)
    rate=$(( size * 1000 / (end - start + 1) ))  # bytes per ns * 1000 = MB/s
    [ "$rate" -gt "$best" ] && best=$rate
done
echo "cat (same file, $size bytes): $best MB/s"
echo "$output" | grep "^${name}: " | tail -n 1
