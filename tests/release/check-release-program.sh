#!/usr/bin/env bash
# check-release-program.sh OBJDUMP PROGRAM.exe DESCRIPTION: the program is a 32-bit GUI
# executable that asks for administrator rights and imports only DLLs that the
# system always loads from its own folder (KnownDLLs); anything else must be
# loaded at run time or delay-loaded.
set -u
objdump=$1 exe=$2 description=$3
fail=0
kind=$(file -b "$exe")
case "$kind" in
  "PE32 executable (GUI) Intel 80386"*) echo "ok: $kind" ;;
  *) echo "FAIL: not a 32-bit GUI executable: $kind"; fail=1 ;;
esac
for text in 'level="requireAdministrator"' 'uiAccess="false"' 'Microsoft.Windows.Common-Controls' 'version="6.0.0.0"'; do
  if grep -qaF "$text" "$exe"; then echo "ok: manifest has $text"; else echo "FAIL: manifest lacks $text"; fail=1; fi
done
# Version resource texts are UTF-16LE.
for text in "$description" "8.17.0.0"; do
  pattern=$(printf '%s' "$text" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 | tr -d ' \n')
  if od -An -tx1 -v "$exe" | tr -d ' \n' | grep -q "$pattern"; then echo "ok: version resource has $text"
  else echo "FAIL: version resource lacks $text"; fail=1; fi
done
allowed=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll shlwapi.dll msvcrt.dll comdlg32.dll imm32.dll psapi.dll setupapi.dll "
imports=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
echo "imports: $(echo $imports)"
for dll in $imports; do
  case "$allowed" in
    *" $dll "*) ;;
    *) echo "FAIL: imports $dll, which is not a KnownDLL"; fail=1 ;;
  esac
done
[ $fail = 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $fail
