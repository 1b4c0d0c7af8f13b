#!/usr/bin/env bash
# As scan_vs_find, with the scanner in automatic mode (as many threads as the
# server takes, up to ten).
set -euo pipefail
THREADS=0 NAME=scan_auto_vs_find exec "$(dirname "$0")/scan_vs_find.sh"
