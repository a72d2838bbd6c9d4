# A drive letter of a Wine prefix that stands for the simulated drive
# (sourced, not run). Wine maps a letter through the prefix's dosdevices
# folder: <letter>:: is the raw device that "\\.\<LETTER>:" opens, <letter>:
# the mounted folder. Wine's server opens the device and hands the Windows
# process a descriptor, on which the process's ntdll (the simulated drive
# is preloaded into wine64) makes the requests; the drive recognises that
# descriptor by the file's device and inode (ZEMTRA_SIMDRIVE_NODE). Tests
# that run at the same time in one prefix use different letters.

# mapWineDrive <letter> <work folder>: the letter's mounted folder is an
# empty folder in the work folder; its device is set by useWineNode.
mapWineDrive() {
    wineDrive=$WINEPREFIX/dosdevices/$1:
    mkdir -p "$2/mount-$1"
    ln -sfn "$2/mount-$1" "$wineDrive"
}

# useWineNode <file>: the mapped letter's raw device is the file.
useWineNode() { ln -sfn "$1" "$wineDrive:"; }

# unmapWineDrive: removes the mapped letter's links.
unmapWineDrive() { rm -f "$wineDrive" "$wineDrive:"; }

# startedUnderWine <command...>: runs the command (a Windows program through
# wine-run) and passes on its output and status. Under load Wine now and
# then fails to start a process: status 1 and not a byte of output. zemtra
# prints a message with every error of its own, so such a run is made once
# more.
startedUnderWine() {
    local out status
    out=$(mktemp)
    "$@" >"$out"
    status=$?
    if [ "$status" -eq 1 ] && [ ! -s "$out" ]; then
        echo "note: Wine started nothing; run again" >&2
        "$@" >"$out"
        status=$?
    fi
    cat "$out"
    rm -f "$out"
    return "$status"
}
