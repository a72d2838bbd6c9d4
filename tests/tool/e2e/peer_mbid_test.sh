#!/usr/bin/env bash
# Compares the lines of zemtra -mbid -mbtoc -mburl, and its catalog number
# and ISRCs, with what the libdiscid peer prints for the same simulated
# drive, over fixed and random discs.
# Usage: peer_mbid_test.sh <zemtra> <simdrive.so> <discid_peer> [runtime to preload first]
set -u
peer=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/simdrive.sh"
simdriveSetup "$1" "$2" "${4:-}"
failures=0
identified=0

. "$here/disc_files.sh"

# compare <name> [zemtra switches -- peer switches]: by default the
# MusicBrainz id, lookup TOC and submission address. The peer's address
# begins "http://", ours "https://": the rest must be the same.
compare() {
    local name=$1 ours theirs ourSwitches=(-mburl -mbtoc -mbid) peerSwitches=(-submission)
    if [ $# -gt 1 ]; then
        shift
        ourSwitches=()
        while [ "$1" != -- ]; do ourSwitches+=("$1"); shift; done
        shift
        peerSwitches=("$@")
    fi
    ours=$(onDrive "$zemtra" "$device" "${ourSwitches[@]}" | tr -d '\r')
    # The table rows reduce to the TOC's track number and the ISRC column;
    # the peer lists audio tracks only.
    [[ " ${ourSwitches[*]} " == *" -tocisrc "* ]] && ours=$(awk '/^MCN: / { print; next }
        $(NF - 2) !~ /^000[4-7c-f]$/ { print $(NF - 1), $NF }' <<<"$ours")
    theirs=$(peerOnDrive "$peer" "$device" "${peerSwitches[@]}" 2>/dev/null)
    theirs=${theirs/MBURL: http:\/\//MBURL: https://}
    if [ "$ours" = "$theirs" ]; then
        [ -n "$ours" ] && identified=$((identified + 1))
    else
        echo "FAIL: $name"
        echo "zemtra:"; echo "$ours"
        echo "libdiscid:"; echo "$theirs"
        echo "disc:"; cat "$disc"
        failures=$((failures + 1))
    fi
}

# The published enhanced CD: ten audio tracks, the data track at 281735.
writeDisc 1 0 0 0 0 0 0 0 0 0 0 4 -- 150 12767 40487 63225 93410 118115 151865 184340 215260 \
    247455 281735 300000
compare "published enhanced CD"
grep -q 9AQWqQ0eCCwktwPPrIUIYkUw2Uo- <<<"$(onDrive "$zemtra" "$device" -mbid)" ||
    { echo "FAIL: published id"; failures=$((failures + 1)); }

writeDisc 1 0 -- 150 20000;                   compare "1 track"
writeDisc 1 4 0 -- 150 20000 40000;           compare "data track first"
writeDisc 1 0 4 4 -- 150 20000 40000 60000;   compare "two data tracks last"
writeDisc 1 4 4 -- 150 20000 40000;           compare "data tracks only"
writeDisc 4 0 0 -- 150 20000 40000;           compare "first track numbered 4"
writeDisc 1 0 4 -- 150 11550 30000;           compare "lead-out on the last track's start"

RANDOM=13
for count in 1 2 99; do
    for kind in audio enhanced datafirst dataonly; do
        randomDisc 1 "$count" "$kind"; compare "$count tracks, $kind"
    done
done
for round in $(seq 1 100); do
    kinds=(audio audio enhanced datafirst dataonly mixed)
    kind=${kinds[RANDOM % 6]}
    first=$((RANDOM % 4 == 0 ? 1 + RANDOM % 20 : 1))
    count=$((1 + RANDOM % (100 - first)))
    randomDisc "$first" "$count" "$kind"; compare "random disc $round ($count tracks from $first, $kind)"
done

# The freedb id of discs whose first track is not 1: the tracks are the
# TOC's first to last, the lead-out after them. (On an enhanced CD the peer
# leaves the data session out of this id too, so audio discs only.)
for round in $(seq 1 40); do
    first=$((2 + RANDOM % 60))
    count=$((1 + RANDOM % (100 - first)))
    kinds=(audio datafirst)
    randomDisc "$first" "$count" "${kinds[RANDOM % 2]}"
    compare "freedb id, $count tracks from $first" -cdid -- -freedb
done

# randomCodes: appends a catalog number and ISRCs to the disc file, each
# valid, with its valid bit clear (the drive then answers zeros) or absent.
randomCodes() {
    local t first last letters=ABCDEFGHIJKLMNOPQRSTUVWXYZ alnum=ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789
    read -r _ first last <"$disc"
    case $((RANDOM % 3)) in
        0) printf 'mcn %06d%07d\n' $((1 + RANDOM % 999999)) $(((RANDOM * 32768 + RANDOM) % 10000000)) ;;
        1) echo "mcn 0000000000000"; echo mcninvalid ;;
    esac >>"$disc"
    for ((t = first; t <= last; t++)); do
        case $((RANDOM % 4)) in
            0 | 1) printf 'isrc %d %s%s%s%s%s%s%07d\n' "$t" "${letters:RANDOM % 26:1}" \
                "${letters:RANDOM % 26:1}" "${alnum:RANDOM % 36:1}" "${alnum:RANDOM % 36:1}" \
                "${alnum:RANDOM % 36:1}" "" $(((RANDOM * 32768 + RANDOM) % 10000000)) ;;
            2) echo "isrc $t DEA000000000"; echo "isrcinvalid $t" ;;
        esac
    done >>"$disc"
}

# Catalog numbers and ISRCs of random audio and enhanced discs.
coded=0
for round in $(seq 1 60); do
    kinds=(audio enhanced)
    first=$((RANDOM % 4 == 0 ? 1 + RANDOM % 20 : 1))
    count=$((1 + RANDOM % (RANDOM % 2 ? 20 : 100 - first)))
    randomDisc "$first" "$count" "${kinds[RANDOM % 2]}"
    randomCodes
    grep -q '^isrc\|^mcn [1-9]' "$disc" && coded=$((coded + 1))
    compare "codes, $count tracks from $first" -mcn -toc -tocctrl -tocidx -tocisrc -- -mcnisrc
done
[ "$coded" -ge 40 ] || { echo "FAIL: too few discs with codes"; failures=$((failures + 1)); }

echo "$identified discs identified alike"
[ "$identified" -ge 60 ] || { echo "FAIL: too few discs identified"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] || { echo "$failures disc(s) differ"; exit 1; }
