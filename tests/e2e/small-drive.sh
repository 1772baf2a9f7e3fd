#!/usr/bin/env bash
# Gives the test prefix a small drive S: for the disk-full cases: a tmpfs of
# 16 MiB. Mounting needs the right to mount; without it the drive is missing
# and the cases that need it say they were skipped.
#   small-drive.sh mount|unmount PREFIX MOUNT-POINT
set -u
action=$1 prefix=$2 point=$3
link=$prefix/dosdevices/s:
case "$action" in
  mount)
    mkdir -p "$point" "$prefix/dosdevices"
    mountpoint -q "$point" || mount -t tmpfs -o size=16m quor-small-drive "$point" 2>/dev/null ||
      { echo "small-drive: cannot mount a tmpfs here; the small-drive cases are skipped"; exit 0; }
    ln -sfn "$point" "$link"
    echo "small-drive: S: is a 16 MiB tmpfs at $point"
    ;;
  unmount)
    rm -f "$link"
    if mountpoint -q "$point"; then umount "$point" 2>/dev/null || umount -l "$point"; fi
    rmdir "$point" 2>/dev/null
    exit 0
    ;;
esac
