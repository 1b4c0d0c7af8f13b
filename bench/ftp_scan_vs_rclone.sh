#!/usr/bin/env bash
# A full scan of an FTP server on loopback (pyftpdlib serving 50,000 files in
# 5,000 folders) with 1 and 4 connections, beside `rclone lsf -R` with as many
# checkers over the same server in the same run. The figure is the ratio of wall
# times at 4 connections (Ferrovane / rclone).
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/scan_common.sh
command -v rclone >/dev/null || { echo "installing rclone..." >&2; apt-get install -y -q rclone >/dev/null || sudo apt-get install -y -q rclone >/dev/null; }
tree=${FERROVANE_BENCH_FTP_TREE:-${TMPDIR:-/tmp}/ferrovane-bench-ftp-tree}
if [ ! -e "$tree.complete" ]; then
    rm -rf "$tree"
    "$FERROVANE_BENCH_DIR/ferrovane_make_tree" "$tree" 50000 5000
    touch "$tree.complete"
fi
out=$(mktemp)
/usr/bin/python3 tests/fixtures/ftp_server.py --root "$tree" >"$out" 2>/dev/null &
server=$!
trap 'kill $server 2>/dev/null; rm -f "$out"' EXIT
for _ in $(seq 100); do grep -q PORT "$out" && break; sleep 0.1; done
port=$(awk '/PORT/ { print $2 }' "$out")
remote=":ftp,host=127.0.0.1,port=$port,user=anonymous,pass=$(rclone obscure ferrovane):"

ours() { "$FERROVANE_BENCH_DIR/ferrovane_scan_ftp" "$port" "$1" | awk '/scan_ms/ { printf "%.3f", $2 / 1000 }'; }
# Each listing leaves a data connection in TIME-WAIT for a minute; with tens of
# thousands of them, opening new ones slows down. Every run starts once they
# have drained, so neither side pays for the other's.
settle() {
    for _ in $(seq 90); do
        [ "$(ss -tan state time-wait 2>/dev/null | wc -l)" -lt 1000 ] && return
        sleep 1
    done
}
for connections in 1 4; do
    settle
    mine=$(ours "$connections")
    settle
    theirs=$(seconds rclone lsf -R --checkers "$connections" "$remote")
    echo "$connections connections: ferrovane ${mine} s, rclone ${theirs} s"
    ratio=$(awk -v a="$mine" -v b="$theirs" 'BEGIN { printf "%.2f", a / b }')
done
echo "ftp_scan_vs_rclone: $ratio x"
