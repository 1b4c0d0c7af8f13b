#!/usr/bin/env bash
# Loading the catalog of a million files in 50,000 folders, beside cp of the file.
set -euo pipefail
NAME=catalog_load exec "$(dirname "$0")/catalog_save.sh"
