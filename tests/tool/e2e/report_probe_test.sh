#!/usr/bin/env bash
# The report bytes of discs built in memory (report_probe), the same on
# every platform; the MusicBrainz values are those the libdiscid peer gives
# for the same discs on the simulated drive. The JSON reports of the same
# discs: the schema's and the layout's checks on every one, and the bytes of
# the coded disc's (coded.json; with its gaps and a read of its audio,
# coded_read.json) on every platform.
# Usage: report_probe_test.sh <report_probe> <report.schema.json> [emulator]
set -u
probe=$1
schema=$2
emulator=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
# Inside the build tree, so that the Windows probe finds its Wine prefix.
work=$(mktemp -d "$(dirname "$probe")/report_probe.XXXXXX")
trap 'rm -rf "$work"' EXIT
. "$here/expect.sh"

probe() { $emulator "$probe" "$@"; }

expect "published enhanced CD" 0 "CDID: 9e0f9e0b
MBID: 9AQWqQ0eCCwktwPPrIUIYkUw2Uo-
MBTOC: 1 10 270335 150 12767 40487 63225 93410 118115 151865 184340 215260 247455
Length: 066:38:00
Tracks: 11" -- probe enhanced -tracks -mbtoc -length -mbid -cdid
expect "worked example" 0 "CDID: 1902ce03
MBID: SQiFYOy5pb1fSd1CnF3kgi8kQcc-
MBTOC: 1 2 28735 150 19012
  1:       000:02:00       004:11:37
  2:       004:13:37       004:41:48
  3:       008:55:10       003:05:40" -- probe example -toc -mbid -cdid -mbtoc
expect "data tracks only" 0 "Tracks: 2" -- probe dataonly -mbid -mbtoc -tracks
expect "tracks numbered 3 to 5" 0 "CDID: 1902d005
MBID: L7lhFfx8h5n9hu7Flk4I6tT5KQ0-
MBTOC: 3 5 54050 150 19012 40135
Length: 011:58:50
Tracks: 3
  1:       000:02:00       004:11:37    3
  2:       004:13:37       004:41:48    4
  3:       008:55:10       003:05:40    5" -- probe numbered -cdid -mbid -mbtoc -length -tracks -toc -tocidx
expect "a TOC that cannot be right: arithmetic only" 0 "CDID: 0c01d302
Length: 007:47:13
Tracks: 2
  1:       004:13:37     -04:-11:-37
  2:       000:02:00       011:58:50" -- probe inconsistent -cdid -mbid -mbtoc -length -tracks -toc
expect "what the disc carries" 0 $'CDID: 1902ce03
MBID: SQiFYOy5pb1fSd1CnF3kgi8kQcc-
MCN: 0724384260927
Length: 011:58:50
Tracks: 3
Album title: Caf\xc3\xa9
Album performer: B??"and"
Track 1 title: One
Track 1 performer: B??"and"
Track 2 title: One
Track 3 title: Three
  1:       000:02:00       004:11:37    1 USRC17607839
  2:       004:13:37       004:41:48    2            -
  3:       008:55:10       003:05:40    3 GBAYE0000001' \
    -- probe coded -tocisrc -cdtext -toc -tracks -length -mcn -mbid -cdid -tocidx
expect "ISRC column without the table" 0 "Tracks: 3" -- probe coded -tracks -tocisrc
expect "gaps and a read of the audio" 2 "CTDBID: NLFgzW19.96S8g4jQrDYlQ73raI-
  1:       000:02:00       004:11:37       000:00:00 -
  2:       004:13:37       004:41:48       000:02:00 2@006:40:00 3@?
  3:       008:55:10       003:05:40               ? ?
Track 1 checksums: AR1 0123abcd AR2 89abcdef AR450 00000450 CRC32 fedcba98
Track 2 checksums: AR1 10000001 AR2 20000002 AR450 30000003 CRC32 40000004
Offset fill: 588 samples
Track 1 AccurateRip: accurate (confidence 12, v2)
Track 2 AccurateRip: not accurate (3 rips of other pressings)
AccurateRip: 1 of 2 tracks accurate
Read offset: +6 (matches 2 of 2 tracks, confidence 15)
Read offset: -30 (matches 1 of 2 tracks, confidence 3)" \
    -- probe coded -toc -tocpregap -tocindex -ardb=record -findoffset -ctdbid

# The lines that come between MBTOC and Length, whatever the switches' order.
mbtoc=1+10+270335+150+12767+40487+63225+93410+118115+151865+184340+215260+247455
expect "enhanced CD, every identifier" 0 "CDID: 9e0f9e0b
MBID: 9AQWqQ0eCCwktwPPrIUIYkUw2Uo-
MBTOC: ${mbtoc//+/ }
MBURL: https://musicbrainz.org/cdtoc/attach?id=9AQWqQ0eCCwktwPPrIUIYkUw2Uo-&tracks=10&toc=$mbtoc
MBWS: https://musicbrainz.org/ws/2/discid/9AQWqQ0eCCwktwPPrIUIYkUw2Uo-?toc=$mbtoc
ARID: 010-0015c010-00b44a7f-9e0f9e0b
ARURL: http://www.accuraterip.com/accuraterip/0/1/0/dBAR-010-0015c010-00b44a7f-9e0f9e0b.bin
CDDB: 9e0f9e0b 11 150 12767 40487 63225 93410 118115 151865 184340 215260 247455 281735 4000
Length: 066:38:00" -- probe enhanced -length -cddb -arurl -arid -mbws -mburl -mbtoc -mbid -cdid
# The published AccurateRip id of a disc whose first track starts late.
expect "late first track" 0 "ARID: 004-000e26d9-00380804-3e128e04
ARURL: http://www.accuraterip.com/accuraterip/9/d/6/dBAR-004-000e26d9-00380804-3e128e04.bin
CDDB: 3e128e04 4 183 107633 179103 284840 4752" -- probe late -cddb -arid -arurl
expect "data tracks only, every identifier" 0 "CDID: 05021a02
CDDB: 05021a02 2 150 22500 540" -- probe dataonly -cdid -mburl -mbws -arid -arurl -cddb

# The JSON reports: LF line ends, not CR LF, on every platform.
for disc in enhanced example dataonly late numbered inconsistent coded; do
    probe "$disc" -json >"$work/$disc.json" </dev/null
done
if python3 "$here/json_document.py" "$schema" "$work"/*.json; then
    echo "ok: JSON reports valid"
else
    failures=$((failures + 1))
fi
probe coded -toc -json -secs -tocend -cdid -frames >"$work/switches.json" </dev/null
# The exit status of a read with a track not accurate is 2 with -json too.
probe coded -json -tocindex -tocpregap -ardb=record -findoffset >"$work/coded_read.json" </dev/null
status=$?
probe coded -json -tocindex -tocpregap -ardb=record -findoffset -toc -cue -ctdbid -secs \
    >"$work/read_switches.json" </dev/null
if [ "$status" -ne 2 ] || ! python3 "$here/json_document.py" "$schema" "$work/coded_read.json"; then
    failures=$((failures + 1))
    echo "FAIL: JSON report of a read (status $status)"
fi
for got in "$work/coded.json" "$work/switches.json" "$work/coded_read.json" \
    "$work/read_switches.json"; do
    golden=$here/coded.json
    [[ $got == *read* ]] && golden=$here/coded_read.json
    if cmp -s "$golden" "$got"; then
        echo "ok: JSON bytes of $(basename "$got")"
    else
        failures=$((failures + 1))
        echo "FAIL: JSON bytes of $(basename "$got")"
        diff "$golden" "$got" | head -20
    fi
done

finish
