#!/usr/bin/env bash
# End-to-end runs of zemtra reading a simulated disc's audio: checksums,
# read offsets, AccurateRip records and verdicts, the offset search, failed
# sectors and exit statuses, against checksums computed the straightforward
# way (verify_reference).
# Usage: linux_verify_test.sh <zemtra> <simdrive.so> <verify_reference> [runtime to preload first]
set -u
zemtra=$1
shim=$2
reference=$3
preload=${4:+$4:}$shim
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$here/expect.sh"

device=$work/simcd
disc=$work/disc.txt
zemtra() {
    env LD_PRELOAD="$preload" ZEMTRA_SIMDRIVE_DEVICE="$device" ZEMTRA_SIMDRIVE_DISC="$disc" \
        "$zemtra" "$@"
}

# Three audio tracks: sectors 0-600, 600-1100 (seed 77) and 1100-1700, the
# lead-out at 1700.
base="tracks 1 3
track 1 0 0:2:0
track 2 0 0:10:0
track 3 0 0:16:50
leadout 0:24:50
seed 2 77"
tracks=(1:0:600:1:0 2:600:1100:77:0 3:1100:1700:3:0)
# disc <extra lines>: the disc file, the base and the extra lines.
disc() { printf '%s\n%s\n' "$base" "${1:-}" >"$disc"; }
# wanted <offset> <drive offset>: the checksum lines.
wanted() { "$reference" "$1" "$2" "${tracks[@]}"; }

disc
arid=$(zemtra "$device" -arid | tr -d '\r')
arid=${arid#ARID: }
# record <file> <confidence> <which: AR1 or AR2> <offset> <drive offset> [xor]:
# a one-chunk record of the checksums read at the offset, each checksum
# xor'ed with the last argument.
record() {
    wanted "$4" "$5" | python3 -c '
import struct, sys
path, confidence, which, arid, flip = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4], int(sys.argv[5])
count, id1, id2, cdid = arid.split("-")
out = struct.pack("<BIII", int(count), int(id1, 16), int(id2, 16), int(cdid, 16))
for line in sys.stdin:
    f = line.split()
    if f[2] != "checksums:":
        continue
    value = int(f[f.index(which) + 1], 16) ^ flip
    out += struct.pack("<BII", confidence, value, int(f[f.index("AR450") + 1], 16))
open(path, "ab").write(out)
' "$1" "$2" "$3" "$arid" "${6:-0}"
}

# Checksums at offsets and the zero fill at the disc's edges.
expect "checksums at offset 0" 0 "$(wanted 0 0)" -- zemtra "$device" -arcrc
disc "driveoffset 6"
expect "a drive offset of +6 corrected" 0 "$(wanted 6 6)" -- zemtra "$device" -arcrc -offset=+6
for offset in -2939 -1 667 2939 -5000; do
    expect "-offset=$offset" 0 "$(wanted "$offset" 6)" -- zemtra "$device" -arcrc "-offset=$offset"
done
disc "silence 2"
tracks[1]=2:600:1100:77:1
expect "silence checksums to 0" 0 "$(wanted 0 0)" -- zemtra "$device" -arcrc
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
$(wanted 0 0)" -- zemtra -toc "$device" -arid -ctdbid -arcrc

# Records: accurate by v2 and by v1, several chunks summed, another
# pressing's, and files that are no record of this disc.
disc "driveoffset 667"
record "$work/v2.bin" 12 AR2 667 667
record "$work/two.bin" 3 AR1 667 667
record "$work/two.bin" 4 AR2 667 667
record "$work/other.bin" 9 AR2 667 667 1
verdicts() { # verdicts <line printf format> <confidence>
    local t
    for t in 1 2 3; do printf "$1\n" "$t" "$2"; done
}
expect "accurate by v2" 0 "$(wanted 667 667)
$(verdicts 'Track %d AccurateRip: accurate (confidence %d, v2)' 12)
AccurateRip: 3 of 3 tracks accurate" -- zemtra "$device" -offset=667 "-ardb=$work/v2.bin"
expect "two chunks, confidence summed" 0 "$(wanted 667 667)
$(verdicts 'Track %d AccurateRip: accurate (confidence %d, v2)' 7)
AccurateRip: 3 of 3 tracks accurate" -- zemtra "$device" -offset=667 "-ardb=$work/two.bin"
expect "another pressing: exit 2" 2 "$(wanted 0 667)
$(verdicts 'Track %d AccurateRip: not accurate (%d rips of other pressings)' 7)
AccurateRip: 0 of 3 tracks accurate" -- zemtra "$device" "-ardb=$work/two.bin"
expect "wrong offset, other chunk" 2 "$(wanted 0 667)
$(verdicts 'Track %d AccurateRip: not accurate (%d rips of other pressings)' 9)
AccurateRip: 0 of 3 tracks accurate" -- zemtra "$device" "-ardb=$work/other.bin"

head -c 39 "$work/v2.bin" >"$work/truncated.bin"
{ cat "$work/v2.bin"; printf '\0'; } >"$work/padded.bin"
python3 -c 'import sys; b = bytearray(open(sys.argv[1], "rb").read()); b[1] ^= 1; open(sys.argv[2], "wb").write(b)' \
    "$work/v2.bin" "$work/otherdisc.bin"
: >"$work/empty.bin"
for name in truncated padded otherdisc empty absent; do
    expect "record $name" 1 "Error: $work/$name.bin is not the AccurateRip record of this disc." \
        -- zemtra "$device" -cdid "-ardb=$work/$name.bin"
done
expect "no drive comes first" 1 "Error: Can't read disk TOC." \
    -- zemtra "$work/absent" "-ardb=$work/absent.bin"

# The offset search from one read at offset 0.
expect "offset found" 2 "$(wanted 0 667)
$(verdicts 'Track %d AccurateRip: not accurate (%d rips of other pressings)' 12)
AccurateRip: 0 of 3 tracks accurate
Read offset: +667 (matches 3 of 3 tracks, confidence 36)" \
    -- zemtra "$device" "-ardb=$work/v2.bin" -findoffset
expect "offset found read at +600" 2 "$(wanted 600 667)
$(verdicts 'Track %d AccurateRip: not accurate (%d rips of other pressings)' 12)
AccurateRip: 0 of 3 tracks accurate
Read offset: +667 (matches 3 of 3 tracks, confidence 36)" \
    -- zemtra "$device" "-ardb=$work/v2.bin" -findoffset -offset=600
expect "-findoffset needs a record" 1 "Error: -findoffset needs -ardb=FILE." \
    -- zemtra "$device" -findoffset
disc "driveoffset -2939"
record "$work/far.bin" 1 AR1 -2939 -2939
disc "driveoffset 2940"
expect "offset not found" 2 "$(wanted 0 2940)
$(verdicts 'Track %d AccurateRip: not accurate (%d rips of other pressings)' 1)
AccurateRip: 0 of 3 tracks accurate
Read offset: not found" -- zemtra "$device" "-ardb=$work/far.bin" -findoffset

# A failing sector: its track is unreadable, the next are read; exit 2.
disc "readfail 700"
lines=$(wanted 0 0 | sed 's/^Track 2 checksums: .*/Track 2 checksums: unreadable at sector 700/')
expect "failed sector" 2 "$lines" -- zemtra "$device" -arcrc
env ZEMTRA_SIMDRIVE_LOG="$work/log" LD_PRELOAD="$preload" ZEMTRA_SIMDRIVE_DEVICE="$device" \
    ZEMTRA_SIMDRIVE_DISC="$disc" "$zemtra" "$device" -arcrc >/dev/null 2>"$work/stderr"
[ "$(grep -c '^readcd 700$' "$work/log")" -eq 4 ] ||
    { echo "FAIL: sector 700 not tried 4 times"; failures=$((failures + 1)); }
grep -q '^readcd 1100$' "$work/log" || { echo "FAIL: track 3 not read"; failures=$((failures + 1)); }
# Without a terminal nothing goes to standard error.
[ ! -s "$work/stderr" ] || { echo "FAIL: standard error written"; failures=$((failures + 1)); }
# No audio is read unasked.
: >"$work/log"
env ZEMTRA_SIMDRIVE_LOG="$work/log" LD_PRELOAD="$preload" ZEMTRA_SIMDRIVE_DEVICE="$device" \
    ZEMTRA_SIMDRIVE_DISC="$disc" "$zemtra" "$device" -cdid -toc -ctdbid -offset=5 >/dev/null
! grep -q readcd "$work/log" || { echo "FAIL: audio read unasked"; failures=$((failures + 1)); }

# An enhanced CD: the last audio track ends 11,400 sectors before the data.
printf 'tracks 1 2\ntrack 1 0 0:2:0\ntrack 2 4 3:0:0\nleadout 4:0:0\n' >"$disc"
tracks=(1:0:$((13350 - 11400)):1:0)
expect "enhanced CD" 0 "$(wanted 0 0)" -- zemtra "$device" -arcrc
finish
