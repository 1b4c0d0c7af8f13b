# Shared by the download benchmarks: a 1 GiB file made once, a folder for the
# copies, timing, and the comparison with curl. FERROVANE_BENCH_DOWNLOAD names
# another place for the file. The copies go to memory (/dev/shm) where it has
# room: on a shared machine the disk's writeback varies by seconds from one
# gigabyte to the next and would drown the transfers being compared.
big=${FERROVANE_BENCH_DOWNLOAD:-${TMPDIR:-/tmp}/ferrovane-bench-download}
size=$((1024 * 1024 * 1024))
command -v curl >/dev/null || { echo "installing curl..." >&2; apt-get install -y -q curl >/dev/null || sudo apt-get install -y -q curl >/dev/null; }

make_file_once() {
    if [ ! -e "$big/big.bin.complete" ]; then
        echo "making the 1 GiB benchmark file in $big (once)..." >&2
        mkdir -p "$big"
        head -c "$size" /dev/urandom >"$big/big.bin"
        touch "$big/big.bin.complete"
    fi
}

if [ "$(df --output=avail -k /dev/shm 2>/dev/null | tail -n 1)" -gt $((3 * 1024 * 1024)) ] 2>/dev/null; then
    copies=$(mktemp -d -p /dev/shm)
else
    copies=$(mktemp -d)
fi
server_out=$(mktemp)
server=
cleanup() { [ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$copies" "$server_out"; }
trap cleanup EXIT

# start_server COMMAND...: runs a test server in the background; sets $port.
start_server() {
    "$@" >"$server_out" 2>/dev/null &
    server=$!
    for _ in $(seq 100); do grep -q PORT "$server_out" && break; sleep 0.1; done
    port=$(awk '/PORT/ { print $2 }' "$server_out")
    [ -n "$port" ] || { echo "the test server did not start" >&2; exit 1; }
}

now() { date +%s%N; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'; }
throughput() { awk -v s="$1" -v n="$size" 'BEGIN { printf "%.0f", n / s / 1e6 }'; }

# compare NAME URL [OUR_URL FTP_PORT]: the best of three rounds each,
# alternating; then a resume of the second half. An FTP location never carries
# a port, so Ferrovane gets the URL without it and the port apart.
compare() {
    local name=$1 url=$2 ours_url=${3:-$2} ftp_port=${4:-} best_ours= best_curl= start end t
    for round in 1 2 3; do
        rm -f "$copies/big.bin" "$copies/curl"; sync
        start=$(now)
        "$FERROVANE_BENCH_DIR/ferrovane_download" "$ours_url" "$copies" $ftp_port >/dev/null
        end=$(now); t=$(seconds "$start" "$end")
        cmp -s "$copies/big.bin" "$big/big.bin" || { echo "ferrovane's copy differs" >&2; exit 1; }
        best_ours=$(awk -v a="$t" -v b="${best_ours:-$t}" 'BEGIN { print (a < b ? a : b) }')
        rm -f "$copies/big.bin"; sync
        start=$(now)
        curl -s -o "$copies/curl" "$url"
        end=$(now); t=$(seconds "$start" "$end")
        best_curl=$(awk -v a="$t" -v b="${best_curl:-$t}" 'BEGIN { print (a < b ? a : b) }')
    done
    echo "copies written to $copies"
    echo "ferrovane (a download job): ${best_ours} s, $(throughput "$best_ours") MB/s"
    echo "curl -s -o: ${best_curl} s, $(throughput "$best_curl") MB/s"

    # The resume: a download job, then the downloader alone, which counts
    # the bytes its reads bring.
    local figures
    for mode in --resume --direct; do
        cp "$copies/curl" "$copies/big.bin"
        truncate -s $((size / 2)) "$copies/big.bin"
        figures=$("$FERROVANE_BENCH_DIR/ferrovane_download" $mode "$ours_url" "$copies" $ftp_port)
        cmp -s "$copies/big.bin" "$big/big.bin" || { echo "the resumed copy differs" >&2; exit 1; }
        echo "resume from the half (${mode#--}): $(echo "$figures" | awk '/bytes_(read|fetched)/ { print $2 }') bytes transferred of $size"
    done
    echo "$name: $(awk -v a="$best_ours" -v b="$best_curl" 'BEGIN { printf "%.2f", b / a }') x"
}
