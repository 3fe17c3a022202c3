#!/usr/bin/env bash
# check_unicode_blocks.sh GENERATOR TABLE_SOURCE: the table's generated rows are exactly
# what the generator prints now. Exit 77 (skipped) when the Unicode data is missing.
set -uo pipefail
rows=$("$1")
rc=$?
[ $rc -eq 2 ] && exit 77
[ $rc -eq 0 ] || exit 1
diff <(printf '%s\n' "$rows") \
     <(sed -n '/BEGIN generated rows/,/END generated rows/{//!p}' "$2")
