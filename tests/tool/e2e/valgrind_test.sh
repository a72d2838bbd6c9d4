#!/usr/bin/env bash
# zemtra under valgrind on every exit path: the usage text, the help, the
# version, each error and full reports on a simulated drive. Any memory
# error or leak fails the run.
# Valgrind's own failure status is 99, apart from zemtra's 0, 1 and 2.
# Usage: valgrind_test.sh <zemtra> <simdrive.so>
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/simdrive.sh"
simdriveSetup "$1" "$2"
. "$here/expect.sh"

cp "$here/worked_example.disc" "$disc"
runs=0
# zemtra <args...>: the binary under valgrind, the simulated drive at $device.
zemtra() {
    runs=$((runs + 1))
    onDrive valgrind --quiet --leak-check=full --show-leak-kinds=definite,indirect,possible \
        --errors-for-leak-kinds=definite,indirect,possible --error-exitcode=99 \
        --log-file="$work/valgrind.$runs.log" "$zemtra" "$@"
    local status=$?
    [ ! -s "$work/valgrind.$runs.log" ] || cat "$work/valgrind.$runs.log"
    return $status
}

expect "usage" 0 "$usage" -- zemtra
expect "help" 0 "$("$zemtra" -h | tr -d '\r')" -- zemtra -h
expect "version" 0 "$("$zemtra" --version | tr -d '\r')" -- zemtra --version
expect "unknown switch" 1 "Error: Unknown parameter -bogus" -- zemtra "$device" -cdid -bogus
expect "no drive" 1 "Error: No drive specified." -- zemtra -toc ""
expect "TOC error" 1 "Error: Can't read disk TOC." -- zemtra "$work/absent" -toc
expect "full report" 0 "CDID: 1902ce03
Length: 011:58:50    718   53900
Tracks: 3
  1: 000:02:00      2     150 004:11:37    251   18862 004:13:37    253   19012 0000    1
  2: 004:13:37    253   19012 004:41:48    281   21123 008:55:10    535   40135 0000    2
  3: 008:55:10    535   40135 003:05:40    185   13915 012:00:50    720   54050 0004    3" \
    -- zemtra "'-cdid'" -length -tracks -toc -tocstart -toclength -tocend -tocctrl -tocidx \
    -secs -frames "\"$device\\\""
# expectJsonHolds <name> <status> <text> -- <args...>: zemtra -json's
# document holds the text.
expectJsonHolds() {
    local name=$1 status=$2 text=$3
    shift 4
    zemtra "$@" -json >"$work/report.json" </dev/null
    local got=$?
    if [ "$got" -ne "$status" ] || ! grep -qF -- "$text" "$work/report.json"; then
        failures=$((failures + 1))
        echo "FAIL: $name (status $got, wanted $status)"
    else
        echo "ok: $name"
    fi
}
expectJsonHolds "JSON report" 0 '"freedb": "1902ce03"' -- "$device" -mcn -tocisrc -cdtext
# The cue sheet and the gap columns: its own exit path, gaps read.
cp "$here/gap_discs/sample.disc" "$disc"
zemtra "$device" -cue >"$work/sheet.cue" && grep -q '^    INDEX 00 11:57:38' "$work/sheet.cue" &&
    echo "ok: cue sheet" || { echo "FAIL: cue sheet"; failures=$((failures + 1)); }
expect "gap columns" 0 "  1:       000:02:00       000:00:00 -
  2:       004:13:37       000:02:00 -
  3:       008:55:10       000:00:00 2@010:00:00 3@011:00:00
  4:       012:00:00       000:00:37 -" -- zemtra "$device" -toc -tocstart -tocpregap -tocindex
echo "qbadcrc 44845 44855" >>"$disc"
expectJsonHolds "JSON gaps, an index unknown" 0 '"msf": null' -- "$device" -tocpregap -tocindex
# The audio read into the document: a track unreadable (exit 2), a record
# that does not open (exit 1).
printf 'tracks 1 2\ntrack 1 0 0:2:0\ntrack 2 0 0:10:0\nleadout 0:16:50\nreadfail 700\n' >"$disc"
expectJsonHolds "JSON audio read" 2 '"unreadable": 700' -- "$device" -arcrc -offset=6
expectJsonHolds "JSON record error" 1 'is not the AccurateRip record' -- "$device" \
    "-ardb=$work/absent.bin" -findoffset
# An image: its gaps, its checksums, -offset= refused, a file that does not open.
python3 -c '
import struct, sys
data = bytes(i % 251 for i in range(2352 * 8))
fmt = struct.pack("<HHIIHH", 1, 2, 44100, 176400, 4, 16)
body = b"WAVEfmt " + struct.pack("<I", 16) + fmt + b"data" + struct.pack("<I", len(data)) + data
open(sys.argv[1], "wb").write(b"RIFF" + struct.pack("<I", len(body)) + body)' "$work/a.wav"
printf 'FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 00 00:00:02\nINDEX 01 00:00:04\n' \
    >"$work/image.cue"
# Tracks of 4 sectors: the AccurateRip sums leave out 5 sectors at either end.
expect "image" 0 "  1:       000:02:00       000:00:04       000:00:00
  2:       000:02:04       000:00:04       000:00:02
Track 1 checksums: AR1 00000000 AR2 00000000 AR450 00000000 CRC32 $(python3 -c '
import zlib; print("%08x" % zlib.crc32((bytes(i % 251 for i in range(2352 * 8)))[:2352 * 4]))')
Track 2 checksums: AR1 00000000 AR2 00000000 AR450 00000000 CRC32 $(python3 -c '
import zlib; print("%08x" % zlib.crc32((bytes(i % 251 for i in range(2352 * 8)))[2352 * 4:]))')" \
    -- zemtra "$work/image.cue" -toc -tocpregap -arcrc
expect "image with an offset" 1 "Error: -offset= is for a drive: an image's samples are checked as they are." \
    -- zemtra "$work/image.cue" -arcrc -offset=6
printf 'FILE none.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n' >"$work/none.cue"
expect "image without its file" 1 "Error: $work/none.wav: it does not open." -- zemtra "$work/none.cue" -cdid
echo nodisc >"$disc"
expect "no disc" 1 "Error: Can't read disk TOC." -- zemtra "$device" -tracks -toc
expectJsonHolds "JSON error" 1 '"error": "Can'"'"'t read disk TOC"' -- "$device"
finish
