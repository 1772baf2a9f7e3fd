#!/usr/bin/env bash
# make-delay-lib.sh TRIPLE IMPORT-LIB DLL-NAME OUTPUT: writes a delay-load import
# library with every function that the import library offers.
set -euo pipefail
triple=$1 importlib=$2 dll=$3 out=$4
def=${out%.a}.def
{
  echo "LIBRARY $dll"
  echo "EXPORTS"
  "$triple-nm" "$importlib" | sed -n 's/^[0-9a-f]* I __imp__\{0,1\}\([A-Za-z0-9_@]*\)$/\1/p' | sort -u
} > "$def"
"$triple-dlltool" -k -d "$def" -y "$out"
