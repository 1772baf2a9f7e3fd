#!/usr/bin/env bash
# check-stripped.sh OBJDUMP PROGRAM.exe...: the programs users download carry no
# debug sections and no symbol table.
set -u
objdump=$1
shift
fail=0
for exe in "$@"; do
  sections=$("$objdump" -h "$exe") || { echo "FAIL: cannot read $exe"; fail=1; continue; }
  debug=$(printf '%s\n' "$sections" | awk 'NF >= 7 && $2 ~ /^(\.debug|\.zdebug|\.stab)/ {print $2}')
  if [ -n "$debug" ]; then echo "FAIL: $exe has debug sections: $(echo $debug)"; fail=1
  else echo "ok: $exe has no debug sections"; fi
  symbols=$("$objdump" -t "$exe" | grep -c '^\[' || true)
  if [ "$symbols" != 0 ]; then echo "FAIL: $exe has $symbols symbols"; fail=1
  else echo "ok: $exe has no symbol table"; fi
done
[ $fail = 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $fail
