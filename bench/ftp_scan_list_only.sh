#!/usr/bin/env bash
# A full scan of an FTP server that lists by LIST only (vsftpd on loopback,
# anonymous and read-only, serving 50,000 files in 5,000 folders) with 1 and 4
# connections, beside `rclone lsf -R` with as many checkers over the same server
# in the same run. The figure is the worse of the two ratios of wall times
# (Ferrovane / rclone).
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/scan_common.sh
. bench/ftp_common.sh
[ -x /usr/sbin/vsftpd ] || { echo "ftp_scan_list_only: vsftpd is missing (apt-get install vsftpd)" >&2; exit 1; }
command -v rclone >/dev/null || { echo "ftp_scan_list_only: rclone is missing (apt-get install rclone)" >&2; exit 1; }
make_ftp_tree_once
tree=$ftp_tree

# vsftpd with a configuration of its own, as tests/fixtures/FtpsServer.cpp
# starts it, without TLS.
folder=$(mktemp -d)
out=$folder/port
server=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; wait 2>/dev/null; rm -rf "$folder"' EXIT
mkdir "$folder/empty"
{
    echo "listen=YES"
    echo "listen_address=127.0.0.1"
    echo "background=NO"
    echo "anonymous_enable=YES"
    echo "local_enable=NO"
    echo "write_enable=NO"
    echo "no_anon_password=YES"
    echo "anon_root=$tree"
    echo "secure_chroot_dir=$folder/empty"
    echo "pasv_min_port=50000"
    echo "pasv_max_port=50999"
    echo "seccomp_sandbox=NO"
    echo "xferlog_enable=NO"
    # Only root may switch to vsftpd's own user and chroot to anon_root.
    [ "$(id -u)" -eq 0 ] || echo "run_as_launching_user=YES"
} >"$folder/vsftpd.conf"
/usr/bin/python3 tests/fixtures/ftps_server.py "$folder/vsftpd.conf" 0 >"$out" 2>/dev/null &
server=$!
for _ in $(seq 100); do grep -qs PORT "$out" && break; sleep 0.1; done
port=$(awk '/PORT/ { print $2 }' "$out")
[ -n "$port" ] || { echo "ftp_scan_list_only: vsftpd did not start" >&2; exit 1; }
remote=":ftp,host=127.0.0.1,port=$port,user=anonymous,pass=$(rclone obscure ferrovane):"

worst=0
for connections in 1 4; do
    settle
    figures=$("$FERROVANE_BENCH_DIR/ferrovane_scan_ftp" "$port" "$connections")
    files=$(value files "$figures")
    [ "$files" = 50000 ] || { echo "ftp_scan_list_only: the scan found ${files:-no} files, not 50000" >&2; exit 1; }
    mine=$(awk -v ms="$(value scan_ms "$figures")" 'BEGIN { printf "%.3f", ms / 1000 }')
    settle
    theirs=$(seconds rclone lsf -R --checkers "$connections" "$remote")
    ratio=$(ratio "$mine" "$theirs")
    echo "$connections connections: ferrovane ${mine} s, rclone ${theirs} s, ratio $ratio"
    worst=$(awk -v a="$ratio" -v b="$worst" 'BEGIN { print (a > b ? a : b) }')
done
echo "ftp_scan_list_only: $worst x"
