# Shared by the scan benchmarks: makes the tree once and runs the scan program.
# The tree: 1,000,000 empty files in 50,000 folders, names of 8 to 30 bytes,
# depth up to 8. It is kept (FERROVANE_BENCH_TREE names another place) and made
# again only when it is not complete.
tree=${FERROVANE_BENCH_TREE:-${TMPDIR:-/tmp}/ferrovane-bench-tree}

make_tree_once() {
    if [ ! -e "$tree.complete" ]; then
        echo "making the benchmark tree in $tree (once)..." >&2
        rm -rf "$tree"
        "$FERROVANE_BENCH_DIR/ferrovane_make_tree" "$tree" 1000000 50000
        touch "$tree.complete"
    fi
}

# Prints the scan program's figures; $1 is the number of threads (0: automatic).
run_scan() {
    make_tree_once
    "$FERROVANE_BENCH_DIR/ferrovane_scan_tree" "$tree" "$1"
}

# value NAME FIGURES: the number on the line "NAME number".
value() { echo "$2" | awk -v name="$1" '$1 == name { print $2 }'; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# seconds COMMAND...: the wall time of the command, its output discarded.
seconds() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'
}
