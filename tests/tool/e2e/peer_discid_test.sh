#!/usr/bin/env bash
# Compares the CDDB query line of zemtra -cddb with the line that the peer
# tool cd-discid prints for the same simulated drive, and the identifier of
# zemtra -cdid with its first word, over fixed and random discs (first
# track 1: for a later first track cd-discid lists the tracks from 1 and
# fills the absent ones with what its memory held), and their exit status
# for an empty tray.
# Usage: peer_discid_test.sh <zemtra> <simdrive.so> [runtime to preload first]
# Exits 77 (skipped) when cd-discid is not installed.
set -u
command -v cd-discid >/dev/null || { echo "cd-discid is not installed"; exit 77; }
here=$(cd "$(dirname "$0")" && pwd)
. "$here/simdrive.sh"
simdriveSetup "$@"
failures=0
. "$here/disc_files.sh"

# writeEvenDisc <first start in frames> <track length in frames> <tracks> [data tracks...]
# Writes a disc of equally long tracks; the listed track numbers are data
# tracks (control 4).
writeEvenDisc() {
    local start=$1 length=$2 count=$3
    shift 3
    local data=" $* " t controls=() starts=()
    for t in $(seq 1 "$count"); do
        controls+=("$([[ $data == *" $t "* ]] && echo 4 || echo 0)")
        starts+=($((start + (t - 1) * length)))
    done
    writeDisc 1 "${controls[@]}" -- "${starts[@]}" $((start + count * length))
}

compare() { # compare <name>
    local ours theirs
    ours=$(onDrive "$zemtra" "$device" -cddb -cdid | tr -d '\r')
    theirs=$(peerOnDrive cd-discid "$device")
    if [ -n "$theirs" ] && [ "$ours" = "CDID: ${theirs%% *}
CDDB: $theirs" ]; then
        [ "$verbose" = yes ] && echo "ok: $1: $theirs"
    else
        echo "FAIL: $1"
        echo "zemtra:"; echo "$ours"
        echo "cd-discid:"; echo "$theirs"
        echo "disc:"; cat "$disc"
        failures=$((failures + 1))
    fi
}

verbose=yes
writeEvenDisc 150 13000 1;               compare "1 track"
writeEvenDisc 150 9937 2;                compare "2 tracks"
writeEvenDisc 150 16421 20;              compare "20 tracks"
writeEvenDisc 150 2650 99;               compare "99 tracks"
writeEvenDisc 150 11111 12 12;           compare "data track last (enhanced CD)"
writeEvenDisc 150 20000 5 1;             compare "data track first (mixed mode)"
writeEvenDisc 33 17000 4;                compare "first track before 0:02:00"
writeEvenDisc 2417 15000 9;              compare "first track at 0:32:17"
writeEvenDisc 150 27777 17;              compare "lead-out past 79 minutes"
cp "$here/worked_example.disc" "$disc"
compare "worked example"

verbose=no
RANDOM=29
kinds=(audio enhanced datafirst mixed mixed)
for count in 1 99; do
    for kind in "${kinds[@]}"; do
        randomDisc 1 "$count" "$kind"; compare "$count tracks, $kind"
    done
done
for round in $(seq 1 30); do
    kind=${kinds[RANDOM % ${#kinds[@]}]}
    count=$((1 + RANDOM % 99))
    randomDisc 1 "$count" "$kind"; compare "random disc $round ($count tracks, $kind)"
done
echo "random discs compared"

# An empty tray: both report the missing disc with exit status 1.
echo nodisc >"$disc"
onDrive "$zemtra" "$device" -cdid >/dev/null
ours=$?
peerOnDrive cd-discid "$device" >/dev/null 2>&1
theirs=$?
if [ "$ours" -eq 1 ] && [ "$ours" -eq "$theirs" ]; then
    echo "ok: empty tray: exit status $ours"
else
    echo "FAIL: empty tray: zemtra exits $ours, cd-discid $theirs"
    failures=$((failures + 1))
fi

[ "$failures" -eq 0 ] || { echo "$failures disc(s) differ"; exit 1; }
