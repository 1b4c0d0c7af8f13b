#!/usr/bin/env bash
# A 1 GiB file over loopback from the HTTP test server (sendfile), fetched by
# Ferrovane's downloader as a job's thread drives it and by `curl -s -o` in the
# same run; then a resume of the second half. The figure is Ferrovane's
# throughput over curl's.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/download_common.sh
make_file_once
start_server /usr/bin/python3 tests/fixtures/http_server.py --root "$big"
compare http_download_vs_curl "http://127.0.0.1:$port/big.bin"
