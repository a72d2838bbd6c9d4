#!/usr/bin/env bash
# End-to-end run of zemtra -mcn, -tocisrc and -cdtext on the simulated
# drive: the report bytes, the requests made (only when asked, inside the
# TOC's device access), and failing or overstating answers.
# Usage: linux_disc_data_test.sh <zemtra> <simdrive.so> [runtime to preload first]
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/simdrive.sh"
simdriveSetup "$@"
. "$here/expect.sh"

log=$work/requests.log
zemtra() {
    rm -f "$log"
    ZEMTRA_SIMDRIVE_LOG=$log onDrive "$zemtra" "$@"
}
# requests: the log's requests other than the TOC's.
requests() { grep -v '^toc' "$log" | tr '\n' ' '; }
# expectRequests <name> <requests>: the requests of the last run.
expectRequests() {
    if [ "$(requests)" != "$2" ]; then
        failures=$((failures + 1))
        echo "FAIL: $1: requests $(requests), wanted $2"
    else
        echo "ok: $1"
    fi
}

# Packs with zeroed CRCs (none is checked then): the album title and
# performer, track titles "One" and "Two", a title for track 4 the TOC
# lacks, and a title across two packs for track 3.
titles="80 00 00 00 41 6c 62 75 6d 00 4f 6e 65 00 54 77 00 00
80 02 01 00 6f 00 54 68 72 65 65 20 6c 6f 6e 67 00 00
80 03 02 00 20 74 69 74 6c 65 00 46 6f 75 72 00 00 00
81 00 03 00 42 61 6e 64 1b 5b 32 4a 00 00 00 00 00 00"
writeDisc() {
    cp "$here/worked_example.disc" "$disc"
    {
        echo "mcn 0724384260927"
        echo "isrc 1 USRC17607839"
        echo "isrc 3 GBAYE0000001"
        while read -r pack; do echo "cdtext $pack"; done <<<"$titles"
        printf '%s\n' "$@"
    } >>"$disc"
}

writeDisc
text="Album title: Album
Album performer: Band?[2J
Track 1 title: One
Track 2 title: Two
Track 3 title: Three long title"
expect "everything" 0 "CDID: 1902ce03
MCN: 0724384260927
Tracks: 3
$text
  1:       000:02:00       004:11:37 USRC17607839
  2:       004:13:37       004:41:48            -
  3:       008:55:10       003:05:40            -" \
    -- zemtra "$device" -cdtext -tocisrc -toc -mcn -tracks -cdid
expectRequests "requests inside the one access, audio tracks only" \
    "open subchannel 2 0 subchannel 3 1 subchannel 3 2 cdtext 4 cdtext 76 close "

expect "nothing asked" 0 "CDID: 1902ce03" -- zemtra "$device" -cdid -tocisrc
expectRequests "nothing read unasked" "open close "

rows="  1:       000:02:00            -
  2:       004:13:37            -
  3:       008:55:10            -"
writeDisc subchannelfail "cdtextfail 1"
expect "failing requests" 0 "Tracks: 3
$rows" -- zemtra "$device" -mcn -cdtext -tracks -toc -tocisrc -tocstart
writeDisc "cdtextfail 2"
expect "second CD-TEXT request fails" 0 "Tracks: 3" -- zemtra "$device" -cdtext -tracks
writeDisc mcninvalid "isrcinvalid 1" "subchanneldeliver 21"
expect "valid bits clear, short answers" 0 "$rows" -- zemtra "$device" -mcn -toc -tocstart -tocisrc

writeDisc "cdtextclaim 1000"
expect "header overstates" 0 "$text" -- zemtra "$device" -cdtext
expectRequests "second request asks for the header's count plus 2" \
    "open cdtext 4 cdtext 1002 close "
writeDisc "cdtextclaim 65535"
expect "largest header" 0 "$text" -- zemtra "$device" -cdtext
expectRequests "second request at most 65,535 bytes" "open cdtext 4 cdtext 65535 close "
writeDisc "cdtextdeliver 57"
expect "device delivers less than asked" 0 "Album title: Album
Track 1 title: One
Track 2 title: Two" -- zemtra "$device" -cdtext
# The second pack's text ends without its NUL: no string.
writeDisc "cdtextclaim 38"
expect "header claims two packs" 0 "Album title: Album
Track 1 title: One
Track 2 title: Two" -- zemtra "$device" -cdtext
writeDisc "cdtextclaim 2"
expect "header claims no pack" 0 "" -- zemtra "$device" -cdtext

echo nodisc >"$disc"
expect "no disc" 1 "Error: Can't read disk TOC." -- zemtra "$device" -mcn -cdtext -toc -tocisrc
expectRequests "no disc, no further requests" "open close "

finish
