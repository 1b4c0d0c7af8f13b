#!/usr/bin/env bash
# A full scan of an SFTP server on loopback (sshd's internal SFTP server over
# 50,000 files in 5,000 folders, key login) with 1 and 4 connections, beside
# `rclone lsf -R` with as many checkers over the same sshd in the same run. The
# figure is the worse ratio of wall times (Ferrovane / rclone).
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/scan_common.sh
command -v rclone >/dev/null || { echo "sftp_scan_vs_rclone: skipped, rclone is not installed (apt-get install rclone)" >&2; exit 0; }
[ -x /usr/sbin/sshd ] || { echo "sftp_scan_vs_rclone: skipped, sshd is not installed (apt-get install openssh-server)" >&2; exit 0; }
# The same tree as the FTP benchmark's, made once.
tree=${FERROVANE_BENCH_FTP_TREE:-${TMPDIR:-/tmp}/ferrovane-bench-ftp-tree}
if [ ! -e "$tree.complete" ]; then
    rm -rf "$tree"
    "$FERROVANE_BENCH_DIR/ferrovane_make_tree" "$tree" 50000 5000
    touch "$tree.complete"
fi
work=$(mktemp -d)
sshd_pid=
trap '[ -n "$sshd_pid" ] && kill "$sshd_pid" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/home/.ssh" "$work/data" /run/sshd
ssh-keygen -q -t ed25519 -N '' -f "$work/host_key"
ssh-keygen -q -t ed25519 -N '' -f "$work/home/.ssh/id_ed25519"
cat >"$work/sshd_config" <<END
HostKey $work/host_key
ListenAddress 127.0.0.1
AuthorizedKeysFile $work/home/.ssh/id_ed25519.pub
StrictModes no
UsePAM no
PidFile none
PermitRootLogin yes
MaxStartups 100
MaxSessions 100
Subsystem sftp internal-sftp
END
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/sbin/sshd -D -f "$work/sshd_config" -p "$port" -E "$work/sshd.log" &
sshd_pid=$!
for _ in $(seq 100); do grep -q "Server listening" "$work/sshd.log" 2>/dev/null && break; sleep 0.1; done
echo "[127.0.0.1]:$port $(cut -d' ' -f1,2 "$work/host_key.pub")" >"$work/data/known_hosts"
user=$(id -un)
remote=":sftp,host=127.0.0.1,port=$port,user=$user,key_file=$work/home/.ssh/id_ed25519,known_hosts_file=$work/data/known_hosts,disable_hashcheck=true,shell_type=none:$tree"

ours() {
    HOME="$work/home" SSH_AUTH_SOCK= "$FERROVANE_BENCH_DIR/ferrovane_scan_sftp" "$port" "$1" "$user" "$tree" "$work/data" |
        awk '/scan_ms/ { printf "%.3f", $2 / 1000 }'
}
worst=0
for connections in 1 4; do
    mine=$(ours "$connections")
    theirs=$(seconds rclone lsf -R --checkers "$connections" "$remote")
    echo "$connections connections: ferrovane ${mine} s, rclone ${theirs} s"
    worst=$(awk -v a="$mine" -v b="$theirs" -v w="$worst" 'BEGIN { r = a / b; printf "%.2f", (r > w) ? r : w }')
done
echo "sftp_scan_vs_rclone: $worst ratio"
