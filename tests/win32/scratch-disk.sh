#!/usr/bin/env bash
# A small tmpfs for the Windows file layer's full-disk tests, which run under
# Wine and reach it as a Z:\ path: Windows programs cannot mount one themselves.
#
#   scratch-disk.sh mount <folder> <KiB>   mount it (needs root)
#   scratch-disk.sh unmount <folder>       unmount it and remove the folder
#
# Mounting never fails the run: when it cannot be done, <folder>.why says why,
# and the tests that need the disk skip with that reason (or fail under CI).
set -u
action=${1:?mount or unmount}
folder=${2:?folder}
why=$folder.why

release() {
    if mountpoint -q "$folder" 2>/dev/null; then umount "$folder" 2>/dev/null || umount -l "$folder"; fi
    rmdir "$folder" 2>/dev/null
    rm -f "$why"
}

case $action in
    mount)
        kib=${3:?KiB}
        release
        mkdir -p "$folder" || { echo "cannot make $folder" >"$why"; exit 0; }
        if [ "$(id -u)" != 0 ]; then
            echo "mounting a tmpfs needs root (the tests run as $(id -un))" >"$why"
        elif ! out=$(mount -t tmpfs -o "size=${kib}k,mode=0777" ombrel-scratch "$folder" 2>&1); then
            echo "mount -t tmpfs failed: $out" >"$why"
        fi
        [ -f "$why" ] && echo "no scratch disk: $(cat "$why")" >&2
        exit 0
        ;;
    unmount)
        release
        exit 0
        ;;
    *)
        echo "scratch-disk.sh: mount or unmount, not $action" >&2
        exit 2
        ;;
esac
