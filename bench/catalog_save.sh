#!/usr/bin/env bash
# Saving the catalog of a million files in 50,000 folders, beside cp of the file.
set -euo pipefail
name=${NAME:-catalog_save}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
figures=$("$FERROVANE_BENCH_DIR/ferrovane_catalog_file" "$work")
echo "$figures"
value() { echo "$figures" | awk -v name="$1" '$1 == name { print $2 }'; }
echo "cp of the same file: $(value cp_s) s; file size per entry: $(value bytes_per_entry) bytes"
echo "catalog lock held by the save of 262,500 entries: $(value lock_hold_ms) ms"
if [ "$name" = catalog_load ]; then
    echo "catalog_load: $(value load_s) s"
else
    echo "catalog_save: $(value save_s) s"
fi
