# Shared by the FTP scan benchmarks: the tree of 50,000 files in 5,000 folders,
# made once, and the wait for loopback connections in TIME-WAIT to drain.
ftp_tree=${FERROVANE_BENCH_FTP_TREE:-${TMPDIR:-/tmp}/ferrovane-bench-ftp-tree}

make_ftp_tree_once() {
    if [ ! -e "$ftp_tree.complete" ]; then
        rm -rf "$ftp_tree"
        "$FERROVANE_BENCH_DIR/ferrovane_make_tree" "$ftp_tree" 50000 5000
        touch "$ftp_tree.complete"
    fi
}

# Each listing leaves a data connection in TIME-WAIT for a minute; with tens of
# thousands of them, opening new ones slows down. Every run starts once they
# have drained, so neither side pays for the other's.
settle() {
    for _ in $(seq 90); do
        [ "$(ss -tan state time-wait 2>/dev/null | wc -l)" -lt 1000 ] && return
        sleep 1
    done
}
