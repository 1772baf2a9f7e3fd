#!/usr/bin/env bash
# check-payload-tree-test.sh CHECK_SCRIPT: the payload build's tree check accepts a
# complete tree and stops on each kind of fault, naming what is wrong.
set -u
check=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
complete() {
  rm -rf "$work/tree"
  mkdir -p "$work/tree/InstallDir/8.17.0.0" "$work/tree/AppData" "$work/tree/TEMP" "$work/tree/BZQ"
  touch "$work/tree/InstallDir/Quor.exe" "$work/tree/InstallDir/Launcher.xml" \
        "$work/tree/InstallDir/Uninstall.exe" "$work/tree/AppData/lang.config"
}
# expect NAME STATUS TEXT: the check ends with STATUS (0 or 1) and, if failing, says TEXT.
expect() {
  out=$(cmake -DTREE="$work/tree" -P "$check" 2>&1); status=$?
  [ $status = 0 ] || status=1
  if [ $status != "$2" ]; then echo "FAIL: $1: status $status, output: $out"; fail=1; return; fi
  if [ -n "$3" ] && ! grep -qF -- "$3" <<<"$out"; then echo "FAIL: $1: output lacks '$3': $out"; fail=1; return; fi
  echo "ok: $1"
}
complete; expect "complete tree" 0 ""
complete; rm "$work/tree/InstallDir/Quor.exe"; expect "no product" 1 "InstallDir/Quor.exe: missing"
complete; rm "$work/tree/InstallDir/Launcher.xml"; expect "no launcher file" 1 "InstallDir/Launcher.xml: missing"
complete; rm "$work/tree/InstallDir/Uninstall.exe"; expect "no uninstaller" 1 "InstallDir/Uninstall.exe: missing"
complete; rm -rf "$work/tree/InstallDir"; expect "no install folder" 1 "InstallDir/Quor.exe: missing"
complete; mkdir "$work/tree/Program Files"; expect "unknown root" 1 "Program Files: not a payload root"
complete; touch "$work/tree/readme.txt"; expect "file at the top" 1 "readme.txt: not a payload root"
complete; rm -rf "$work/tree/BZQ"; touch "$work/tree/BZQ"; expect "root that is a file" 1 "BZQ: a payload root must be a folder"
complete; rm "$work/tree/InstallDir/Uninstall.exe"; mkdir "$work/tree/InstallDir/Uninstall.exe"; expect "uninstaller that is a folder" 1 "InstallDir/Uninstall.exe: missing"
[ $fail = 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $fail
