# The cases of reading a simulated disc's audio that every platform's
# driver runs (sourced, not run): checksums at read offsets, records and
# their verdicts, the offset search, a failing sector and the exit
# statuses, against checksums computed the straightforward way. The caller
# has sourced expect.sh and defines zemtra (runs the tool on the simulated
# drive, which holds the disc file $disc, and logs its requests to $log),
# $work and $reference (the verify_reference program). Record files are
# named relative to $work, where the cases run, so that a Windows program
# finds them by the same names.

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
# unreadable <lines> <track> <sector>: the lines with the track's checksums
# unreadable at the sector.
unreadable() {
    sed "s/^Track $2 checksums: .*/Track $2 checksums: unreadable at sector $3/" <<<"$1"
}
# verdicts <line printf format> <confidence>: the line of each track.
verdicts() {
    local t
    for t in 1 2 3; do printf "$1\n" "$t" "$2"; done
}
# record <file> <confidence> <which: AR1 or AR2> <offset> <drive offset> [xor]:
# appends to the file a one-chunk record of the checksums read at the
# offset, each checksum xor'ed with the last argument. $arid is the disc's
# AccurateRip id.
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
# expectLogged <name> <count> <request>: the last run made the request
# (a line of the drive's log) that many times.
expectLogged() {
    local count
    count=$(grep -cx "$3" "$log")
    if [ "$count" -ne "$2" ]; then
        failures=$((failures + 1))
        echo "FAIL: $1: $count times $3, wanted $2"
    else
        echo "ok: $1"
    fi
}

runVerifyCases() {
    cd "$work" || return
    disc
    arid=$(zemtra -arid | tr -d '\r')
    arid=${arid#ARID: }

    expect "checksums at offset 0" 0 "$(wanted 0 0)" -- zemtra -arcrc
    disc "driveoffset 6"
    expect "a drive offset of +6 corrected" 0 "$(wanted 6 6)" -- zemtra -arcrc -offset=+6
    local offset
    for offset in -2939 667 2939; do
        expect "-offset=$offset" 0 "$(wanted "$offset" 6)" -- zemtra -arcrc "-offset=$offset"
    done

    # Records: accurate by v2, several chunks summed, another pressing's, a
    # record of another disc.
    disc "driveoffset 667"
    rm -f v2.bin two.bin otherdisc.bin
    record v2.bin 12 AR2 667 667
    record two.bin 3 AR1 667 667
    record two.bin 4 AR2 667 667
    expect "accurate by v2" 0 "$(wanted 667 667)
$(verdicts 'Track %d AccurateRip: accurate (confidence %d, v2)' 12)
AccurateRip: 3 of 3 tracks accurate" -- zemtra -offset=667 -ardb=v2.bin
    expect "two chunks, confidence summed" 0 "$(wanted 667 667)
$(verdicts 'Track %d AccurateRip: accurate (confidence %d, v2)' 7)
AccurateRip: 3 of 3 tracks accurate" -- zemtra -offset=667 -ardb=two.bin
    expect "another pressing: exit 2" 2 "$(wanted 0 667)
$(verdicts 'Track %d AccurateRip: not accurate (%d rips of other pressings)' 7)
AccurateRip: 0 of 3 tracks accurate" -- zemtra -ardb=two.bin
    python3 -c 'import sys; b = bytearray(open(sys.argv[1], "rb").read()); b[1] ^= 1; open(sys.argv[2], "wb").write(b)' \
        v2.bin otherdisc.bin
    expect "record of another disc: exit 1" 1 \
        "Error: otherdisc.bin is not the AccurateRip record of this disc." \
        -- zemtra -cdid -ardb=otherdisc.bin

    # The offset search from one read at offset 0.
    expect "offset found" 2 "$(wanted 0 667)
$(verdicts 'Track %d AccurateRip: not accurate (%d rips of other pressings)' 12)
AccurateRip: 0 of 3 tracks accurate
Read offset: +667 (matches 3 of 3 tracks, confidence 36)" -- zemtra -ardb=v2.bin -findoffset
    disc "driveoffset -2939"
    rm -f far.bin
    record far.bin 1 AR1 -2939 -2939
    disc "driveoffset 2940"
    expect "offset not found" 2 "$(wanted 0 2940)
$(verdicts 'Track %d AccurateRip: not accurate (%d rips of other pressings)' 1)
AccurateRip: 0 of 3 tracks accurate
Read offset: not found" -- zemtra -ardb=far.bin -findoffset

    # A failing sector: tried within its piece and then alone four times;
    # its track is unreadable, the next are read; exit 2.
    disc "readfail 700"
    expect "failed sector" 2 "$(unreadable "$(wanted 0 0)" 2 700)" -- zemtra -arcrc
    expectLogged "sector 700 read alone four times" 4 "readcd 700"
    expectLogged "track 3 read" 1 "readcd 1100"
}
