#!/usr/bin/env bash
# Compares the disc identifier of zemtra -cdid with the first word that the
# peer tool cd-discid prints for the same simulated drive, and their exit
# status for an empty tray.
# Usage: peer_discid_test.sh <zemtra> <simdrive.so> [runtime to preload first]
# Exits 77 (skipped) when cd-discid is not installed.
set -u
zemtra=$1
shim=$2
preload=${3:+$3:}$shim
command -v cd-discid >/dev/null || { echo "cd-discid is not installed"; exit 77; }
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
device=$work/simcd
disc=$work/disc.txt
failures=0

# writeDisc <first start in frames> <track length in frames> <tracks> [data tracks...]
# Writes a disc of equally long tracks; the listed track numbers are data
# tracks (control 4).
writeDisc() {
    local start=$1 length=$2 count=$3
    shift 3
    local data=" $* " t frames control
    {
        echo "tracks 1 $count"
        for t in $(seq 1 "$count"); do
            frames=$((start + (t - 1) * length))
            control=0
            [[ $data == *" $t "* ]] && control=4
            echo "track $t $control $((frames / 4500)):$((frames / 75 % 60)):$((frames % 75))"
        done
        frames=$((start + count * length))
        echo "leadout $((frames / 4500)):$((frames / 75 % 60)):$((frames % 75))"
    } >"$disc"
}

compare() { # compare <name>
    local ours theirs
    ours=$(env LD_PRELOAD="$preload" ZEMTRA_SIMDRIVE_DEVICE="$device" ZEMTRA_SIMDRIVE_DISC="$disc" \
        "$zemtra" "$device" -cdid | tr -d '\r')
    ours=${ours#CDID: }
    theirs=$(env LD_PRELOAD="$shim" ZEMTRA_SIMDRIVE_DEVICE="$device" ZEMTRA_SIMDRIVE_DISC="$disc" \
        cd-discid "$device" | cut -d' ' -f1)
    if [ -n "$ours" ] && [ "$ours" = "$theirs" ]; then
        echo "ok: $1: $ours"
    else
        echo "FAIL: $1: zemtra '$ours', cd-discid '$theirs'"
        failures=$((failures + 1))
    fi
}

writeDisc 150 13000 1;               compare "1 track"
writeDisc 150 9937 2;                compare "2 tracks"
writeDisc 150 16421 20;              compare "20 tracks"
writeDisc 150 2650 99;               compare "99 tracks"
writeDisc 150 11111 12 12;           compare "data track last (enhanced CD)"
writeDisc 150 20000 5 1;             compare "data track first (mixed mode)"
writeDisc 33 17000 4;                compare "first track before 0:02:00"
writeDisc 2417 15000 9;              compare "first track at 0:32:17"
writeDisc 150 27777 17;              compare "lead-out past 79 minutes"
cp "$here/worked_example.disc" "$disc"
compare "worked example"

# An empty tray: both report the missing disc with exit status 1.
echo nodisc >"$disc"
env LD_PRELOAD="$preload" ZEMTRA_SIMDRIVE_DEVICE="$device" ZEMTRA_SIMDRIVE_DISC="$disc" \
    "$zemtra" "$device" -cdid >/dev/null
ours=$?
env LD_PRELOAD="$shim" ZEMTRA_SIMDRIVE_DEVICE="$device" ZEMTRA_SIMDRIVE_DISC="$disc" \
    cd-discid "$device" >/dev/null 2>&1
theirs=$?
if [ "$ours" -eq 1 ] && [ "$ours" -eq "$theirs" ]; then
    echo "ok: empty tray: exit status $ours"
else
    echo "FAIL: empty tray: zemtra exits $ours, cd-discid $theirs"
    failures=$((failures + 1))
fi

[ "$failures" -eq 0 ] || { echo "$failures disc(s) differ"; exit 1; }
