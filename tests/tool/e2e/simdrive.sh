# Shared start of the end-to-end drivers that run zemtra on the simulated
# drive (sourced, not run). After
#   simdriveSetup <zemtra> <simdrive.so> [runtime to preload first]
# these are set:
#   $zemtra, $shim   the program and the simulated drive's preload library
#   $preload         zemtra's preload list: the runtime first when given (a
#                    sanitizer's, which must come before any other), then
#                    the shim
#   $work            a scratch directory, removed on exit
#   $device, $disc   the drive's path and the disc file it answers from
# and two functions run commands with the drive in place:
#   onDrive <program> <args...>      with zemtra's preload list
#   peerOnDrive <program> <args...>  with the shim alone, for peer programs
#                                    built without sanitizers
# A ZEMTRA_SIMDRIVE_LOG set for either call reaches the drive.

simdriveSetup() {
    zemtra=$1
    shim=$2
    preload=${3:+$3:}$shim
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    device=$work/simcd
    disc=$work/disc.txt
}

onDrive() {
    env LD_PRELOAD="$preload" ZEMTRA_SIMDRIVE_DEVICE="$device" ZEMTRA_SIMDRIVE_DISC="$disc" "$@"
}

peerOnDrive() {
    env LD_PRELOAD="$shim" ZEMTRA_SIMDRIVE_DEVICE="$device" ZEMTRA_SIMDRIVE_DISC="$disc" "$@"
}
