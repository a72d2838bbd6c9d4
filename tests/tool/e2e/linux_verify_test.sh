#!/usr/bin/env bash
# End-to-end runs of zemtra reading a simulated disc's audio: the cases of
# verify_cases.sh, which the Windows build runs under Wine too, and further
# offsets, silence, records that are no record of the disc, standard error
# and a device that refuses commands, against checksums computed the
# straightforward way (verify_reference).
# Usage: linux_verify_test.sh <zemtra> <simdrive.so> <verify_reference> [runtime to preload first]
set -u
reference=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/simdrive.sh"
simdriveSetup "$1" "$2" "${4:-}"
. "$here/expect.sh"
. "$here/verify_cases.sh"

log=$work/requests.log
# zemtra <args...>: the program on the simulated drive.
zemtra() {
    rm -f "$log"
    ZEMTRA_SIMDRIVE_LOG="$log" onDrive "$zemtra" "$device" "$@"
}

runVerifyCases
# Without a terminal nothing goes to standard error, a failing sector
# neither.
disc "readfail 700"
zemtra -arcrc >/dev/null 2>"$work/stderr"
[ ! -s "$work/stderr" ] || { echo "FAIL: standard error written"; failures=$((failures + 1)); }

disc "driveoffset 6"
for offset in -1 -5000; do
    expect "-offset=$offset" 0 "$(wanted "$offset" 6)" -- zemtra -arcrc "-offset=$offset"
done
disc "silence 2"
tracks[1]=2:600:1100:77:1
expect "silence checksums to 0" 0 "$(wanted 0 0)" -- zemtra -arcrc
grep -q "Track 2 checksums: AR1 00000000 AR2 00000000 AR450 00000000" <(wanted 0 0) ||
    { echo "FAIL: silence"; failures=$((failures + 1)); }
tracks[1]=2:600:1100:77:0
disc
expect "with the identifiers and the table" 0 "ARID: $arid
CTDBID: $(python3 -c '
import base64, hashlib
v = [600, 1100, 1700] + [0] * 97
d = hashlib.sha1("".join("%08X" % x for x in v).encode()).digest()
print(base64.b64encode(d).decode().replace("+", ".").replace("/", "_").replace("=", "-"))')
  1:       000:02:00       000:08:00
  2:       000:10:00       000:06:50
  3:       000:16:50       000:08:00
$(wanted 0 0)" -- zemtra -toc -arid -ctdbid -arcrc
expect "the drive between the switches" 0 "$(wanted 0 0)" -- \
    onDrive "$zemtra" -offset=0 "$device" -arcrc

# Another chunk at the wrong offset, and files that are no record of this
# disc (the records of runVerifyCases, in $work).
disc "driveoffset 667"
record "$work/other.bin" 9 AR2 667 667 1
expect "wrong offset, other chunk" 2 "$(wanted 0 667)
$(verdicts 'Track %d AccurateRip: not accurate (%d rips of other pressings)' 9)
AccurateRip: 0 of 3 tracks accurate" -- zemtra "-ardb=$work/other.bin"
head -c 39 "$work/v2.bin" >"$work/truncated.bin"
{ cat "$work/v2.bin"; printf '\0'; } >"$work/padded.bin"
: >"$work/empty.bin"
for name in truncated padded otherdisc empty absent; do
    expect "record $name" 1 "Error: $work/$name.bin is not the AccurateRip record of this disc." \
        -- zemtra -cdid "-ardb=$work/$name.bin"
done
expect "no drive comes first" 1 "Error: Can't read disk TOC." \
    -- "$zemtra" "$work/absent" "-ardb=$work/absent.bin"
expect "offset found read at +600" 2 "$(wanted 600 667)
$(verdicts 'Track %d AccurateRip: not accurate (%d rips of other pressings)' 12)
AccurateRip: 0 of 3 tracks accurate
Read offset: +667 (matches 3 of 3 tracks, confidence 36)" \
    -- zemtra "-ardb=$work/v2.bin" -findoffset -offset=600
expect "-findoffset needs a record" 1 "Error: -findoffset needs -ardb=FILE." -- zemtra -findoffset

# No audio is read unasked.
disc "readfail 700"
zemtra -cdid -toc -ctdbid -offset=5 >/dev/null
! grep -q readcd "$log" || { echo "FAIL: audio read unasked"; failures=$((failures + 1)); }

# SG_IO refused (EPERM: a user without the right) is a failed command on
# Linux: the first sector of each track is tried alone four times after
# its piece; each track unreadable, exit 2.
disc "sgiofail EPERM"
expect "SG_IO refused" 2 "$(unreadable "$(unreadable "$(unreadable "$(wanted 0 0)" 1 0)" 2 600)" 3 1100)" \
    -- zemtra -arcrc
expectLogged "SG_IO refused: five commands a track" 15 "sgio refused"

# An enhanced CD: the last audio track ends 11,400 sectors before the data.
printf 'tracks 1 2\ntrack 1 0 0:2:0\ntrack 2 4 3:0:0\nleadout 4:0:0\n' >"$disc"
tracks=(1:0:$((13350 - 11400)):1:0)
expect "enhanced CD" 0 "$(wanted 0 0)" -- zemtra -arcrc
finish
