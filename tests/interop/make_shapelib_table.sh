#!/usr/bin/env bash
# Writes a dBase III table with shapelib's dbfcreate and dbfadd.
#
#   make_shapelib_table.sh TABLE COLUMN_OPTION... < RECORDS
#
# COLUMN_OPTIONs are dbfcreate's: -s NAME WIDTH for a character column,
# -n NAME WIDTH DECIMALS for a number. Each line of RECORDS is one record:
# every value followed by a 0x1F byte (so empty values survive), bytes passed
# to dbfadd as they are. dbfadd stores an empty number as a NULL (asterisks).
set -euo pipefail
export LC_ALL=C
table=$1
shift
rm -f "$table"
dbfcreate "$table" "$@"
while IFS=$'\x1f' read -r -a values; do
  dbfadd "$table" "${values[@]}"
done
