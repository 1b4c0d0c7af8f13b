#!/usr/bin/env bash
# A full scan of an FTP server on loopback (pyftpdlib serving 50,000 files in
# 5,000 folders) with 1 and 4 connections, beside `rclone lsf -R` with as many
# checkers over the same server in the same run. The figure is the ratio of wall
# times at 4 connections (Ferrovane / rclone).
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/scan_common.sh
. bench/ftp_common.sh
command -v rclone >/dev/null || { echo "installing rclone..." >&2; apt-get install -y -q rclone >/dev/null || sudo apt-get install -y -q rclone >/dev/null; }
make_ftp_tree_once
tree=$ftp_tree
out=$(mktemp)
/usr/bin/python3 tests/fixtures/ftp_server.py --root "$tree" >"$out" 2>/dev/null &
server=$!
trap 'kill $server 2>/dev/null; rm -f "$out"' EXIT
for _ in $(seq 100); do grep -q PORT "$out" && break; sleep 0.1; done
port=$(awk '/PORT/ { print $2 }' "$out")
remote=":ftp,host=127.0.0.1,port=$port,user=anonymous,pass=$(rclone obscure ferrovane):"

ours() { "$FERROVANE_BENCH_DIR/ferrovane_scan_ftp" "$port" "$1" | awk '/scan_ms/ { printf "%.3f", $2 / 1000 }'; }
for connections in 1 4; do
    settle
    mine=$(ours "$connections")
    settle
    theirs=$(seconds rclone lsf -R --checkers "$connections" "$remote")
    echo "$connections connections: ferrovane ${mine} s, rclone ${theirs} s"
    ratio=$(awk -v a="$mine" -v b="$theirs" 'BEGIN { printf "%.2f", a / b }')
done
echo "ftp_scan_vs_rclone: $ratio x"
