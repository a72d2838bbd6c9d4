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
. "$here/disc_files.sh"

log=$work/requests.log
zemtra() {
    rm -f "$log"
    ZEMTRA_SIMDRIVE_LOG=$log onDrive "$zemtra" "$@"
}
writeDataDisc
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
writeDataDisc subchannelfail "cdtextfail 1"
expect "failing requests" 0 "Tracks: 3
$rows" -- zemtra "$device" -mcn -cdtext -tracks -toc -tocisrc -tocstart
writeDataDisc "cdtextfail 2"
expect "second CD-TEXT request fails" 0 "Tracks: 3" -- zemtra "$device" -cdtext -tracks
writeDataDisc mcninvalid "isrcinvalid 1" "subchanneldeliver 21"
expect "valid bits clear, short answers" 0 "$rows" -- zemtra "$device" -mcn -toc -tocstart -tocisrc

writeDataDisc "cdtextclaim 1000"
expect "header overstates" 0 "$text" -- zemtra "$device" -cdtext
expectRequests "second request asks for the header's count plus 2" \
    "open cdtext 4 cdtext 1002 close "
writeDataDisc "cdtextclaim 65535"
expect "largest header" 0 "$text" -- zemtra "$device" -cdtext
expectRequests "second request at most 65,535 bytes" "open cdtext 4 cdtext 65535 close "
writeDataDisc "cdtextdeliver 57"
expect "device delivers less than asked" 0 "Album title: Album
Track 1 title: One
Track 2 title: Two" -- zemtra "$device" -cdtext
# The second pack's text ends without its NUL: no string.
writeDataDisc "cdtextclaim 38"
expect "header claims two packs" 0 "Album title: Album
Track 1 title: One
Track 2 title: Two" -- zemtra "$device" -cdtext
writeDataDisc "cdtextclaim 2"
expect "header claims no pack" 0 "" -- zemtra "$device" -cdtext

echo nodisc >"$disc"
expect "no disc" 1 "Error: Can't read disk TOC." -- zemtra "$device" -mcn -cdtext -toc -tocisrc
expectRequests "no disc, no further requests" "open close "

finish
