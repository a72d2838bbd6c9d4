#!/usr/bin/env bash
# End-to-end run of the Linux zemtra binary on a simulated drive.
# Usage: linux_report_test.sh <zemtra> <simdrive.so> [runtime to preload first]
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/simdrive.sh"
simdriveSetup "$@"
. "$here/expect.sh"

# zemtra <args...>: the binary with the simulated drive at $device.
zemtra() { onDrive "$zemtra" "$@"; }

tocError="Error: Can't read disk TOC."
noDrive='Error: No drive specified.'

# The disc of the worked example: three tracks, the third a data track.
cp "$here/worked_example.disc" "$disc"

# Usage and errors: one line each, nothing else, no disc access needed.
expect "usage" 0 "$usage" -- zemtra
# The help and the version end the run where they stand (their texts are
# checked against the manual by the completion test).
help=$("$zemtra" -h | tr -d '\r')
[ "$(head -n 1 <<<"$help")" = "$usage" ] && [ "$(wc -l <<<"$help")" -eq $((switchCount + 1)) ] ||
    { echo "FAIL: help: $help"; failures=$((failures + 1)); }
expect "help after switches and a drive" 0 "$help" -- zemtra "$device" -cdid -toc --help -bogus
expect "help in quotes" 0 "$help" -- zemtra "'-?'"
expect "unknown switch before help" 1 "Error: Unknown parameter -bogus" -- zemtra -bogus -help
expect "version" 0 "zemtra $("$zemtra" --version | tr -d '\r' | cut -d' ' -f2)" \
    -- zemtra -version "$device" -cdid
for word in -H --h ---help --Help -help= -v --versions --cdid; do
    expect "near miss $word" 1 "Error: Unknown parameter $word" -- zemtra "$device" "$word"
done
expect "unknown switch stops at once" 1 "Error: Unknown parameter -bogus" \
    -- zemtra "$device" -cdid -bogus -toc
expect "lone hyphen" 1 "Error: Unknown parameter -" -- zemtra -cdid - "$device"
expect "switches are case-sensitive" 1 "Error: Unknown parameter -TOC" -- zemtra "$device" -TOC
expect "double hyphen" 1 "Error: Unknown parameter --toc" -- zemtra "$device" --toc
expect "only switches" 1 "$noDrive" -- zemtra -toc -cdid
expect "empty argument" 1 "$noDrive" -- zemtra ""
expect "drive that does not exist" 1 "$tocError" -- zemtra "$work/absent" -cdid
expect "drive letter on Linux" 1 "$tocError" -- zemtra D -cdid
expect "last drive wins" 1 "$tocError" -- zemtra "$device" "$work/absent" -cdid

# Reports of the worked example.
full="CDID: 1902ce03
Length: 011:58:50
Tracks: 3
  1:       000:02:00       004:11:37
  2:       004:13:37       004:41:48
  3:       008:55:10       003:05:40"
expect "default columns" 0 "$full" -- zemtra "$device" -toc -tracks -length -cdid
expect "-msf changes nothing" 0 "$full" -- zemtra -msf "$device" -toc -tracks -length -cdid -msf
expect "drive with trailing backslashes" 0 "$full" \
    -- zemtra -cdid -length -tracks -toc "$device\\\\\\"
expect "empty arguments and two drives" 0 "$full" \
    -- zemtra "" "$work/absent" -cdid "" "$device" -length -tracks -toc ""
expect "quoted switches" 0 "$full" -- zemtra "'-cdid'" '"-length"' "'-\\x74racks'" "'-toc'" "$device"
expect "no report switch" 0 "" -- zemtra "$device"
expect "-tocstart without -toc" 0 "" -- zemtra "$device" -tocstart -tocend
expect "every column" 0 "  1:       000:02:00       004:11:37       004:13:37 0000    1
  2:       004:13:37       004:41:48       008:55:10 0000    2
  3:       008:55:10       003:05:40       012:00:50 0004    3" \
    -- zemtra "$device" -toc -tocidx -tocctrl -tocend -toclength -tocstart
expect "end column alone" 0 "  1:       004:13:37
  2:       008:55:10
  3:       012:00:50" -- zemtra "$device" -toc -tocend
expect "seconds and frames overflow the columns" 0 "Length: 011:58:50    718   53900
  1: 000:02:00      2     150 004:11:37    251   18862
  2: 004:13:37    253   19012 004:41:48    281   21123
  3: 008:55:10    535   40135 003:05:40    185   13915" \
    -- zemtra "$device" -frames -length -toc -secs
expect "seconds alone" 0 "Length: 011:58:50    718" -- zemtra "$device" -secs -length

# Hostile arguments, as a new user might type them.
long=$(head -c 131070 /dev/zero | tr '\0' 'x')  # the longest argument Linux passes
expect "128 KiB switch quoted whole" 1 "Error: Unknown parameter -$long" -- zemtra "$device" "-$long"
expect "128 KiB drive" 1 "$tocError" -- zemtra -cdid "/$long"
expect "unclosed quote makes a drive" 1 "$tocError" -- zemtra "$device" "'-cdid" -toc
expect "escape at the very end is dropped" 0 "Tracks: 3" -- zemtra "$device" "'-tracks\\'"
expect "escaped NUL cuts the message" 1 "Error: Unknown parameter -bogus" \
    -- zemtra "$device" "'-bogus\\x00tail'"
expect "escaped NUL as the drive" 1 "$tocError" -- zemtra "'\\u0000'" -toc
expect "bytes above 0x7F" 1 $'Error: Unknown parameter -toc\xe9\xff' -- zemtra "$device" $'-toc\xe9\xff'
expect "soft hyphen is no switch" 1 "$tocError" -- zemtra "$device" $'\xad-toc'

# The MusicBrainz lines stand between the identifier and the length. The
# third track is data, so the id covers tracks 1 and 2, its lead-out 11,400
# frames before the data track; the CDID line still counts all three. The
# ids are those the libdiscid peer gives for the same discs.
expect "MusicBrainz lines in their place" 0 "CDID: 1902ce03
MBID: SQiFYOy5pb1fSd1CnF3kgi8kQcc-
MBTOC: 1 2 28735 150 19012
Length: 011:58:50
Tracks: 3" -- zemtra -tracks -length -mbtoc "$device" -mbid -cdid
expect "lookup TOC alone" 0 "MBTOC: 1 2 28735 150 19012" -- zemtra "$device" -mbtoc -mbtoc
expect "MusicBrainz switches are exact" 1 "Error: Unknown parameter -MBID" \
    -- zemtra "$device" -mbid -MBID
expect "no prefix of a MusicBrainz switch" 1 "Error: Unknown parameter -mb" -- zemtra "$device" -mb
sed 's/^track 3 4/track 3 0/' "$here/worked_example.disc" >"$disc"
expect "audio only: every track and the lead-out" 0 "MBID: JRxqc9PFtzHXGJU0xn5ZhY5bj4M-
MBTOC: 1 3 54050 150 19012 40135" -- zemtra "$device" -mbid -mbtoc
printf 'tracks 1 2\ntrack 1 4 0:02:00\ntrack 2 6 5:00:00\nleadout 9:00:00\n' >"$disc"
expect "data tracks only: no MusicBrainz lines" 0 "CDID: 05021a02
Length: 008:58:00" -- zemtra "$device" -cdid -mbid -mbtoc -length

# A drive that opens but holds no disc, or a TOC without tracks, is an
# error, as a drive that does not open is.
echo nodisc >"$disc"
expect "no disc" 1 "$tocError" -- zemtra "$device" -cdid -mbid -mbtoc -length -tracks -toc
printf 'tracks 1 0\nleadout 9:00:00\n' >"$disc"
expect "zero tracks" 1 "$tocError" -- zemtra "$device" -cdid -length -tracks
printf 'tracks 4 3\ntrack 3 0 0:02:00\ntrack 4 0 5:00:00\nleadout 9:00:00\n' >"$disc"
expect "first track above the last" 1 "$tocError" -- zemtra "$device" -cdid -tracks

# A disc numbered 3 to 5: three tracks, the lead-out after the fifth; rows
# are numbered from 1, -tocidx shows the disc's numbers.
sed -e 's/^tracks 1 3/tracks 3 5/' -e 's/^track 3 4/track 5 0/' -e 's/^track 2 /track 4 /' \
    -e 's/^track 1 /track 3 /' "$here/worked_example.disc" >"$disc"
echo "track 6 0 70:00:00" >>"$disc"  # never asked for
expect "tracks 3 to 5" 0 "CDID: 1902d005
MBTOC: 3 5 54050 150 19012 40135
Length: 011:58:50
Tracks: 3
  1:       000:02:00       004:11:37    3
  2:       004:13:37       004:41:48    4
  3:       008:55:10       003:05:40    5" -- zemtra "$device" -cdid -mbtoc -length -tracks -toc -tocidx

# The first TOC read after a disc goes in may be wrong: the TOC is read
# twice in one opening of the device, and a third time when they differ.
log=$work/requests.log
cp "$here/worked_example.disc" "$disc"
for unsettled in 0 1 2; do
    echo "unsettled $unsettled" >>"$disc"
    rm -f "$log"
    ZEMTRA_SIMDRIVE_LOG=$log expect "first reads unsettled: $unsettled" 0 "Length: 011:58:50" \
        -- zemtra "$device" -length
    reads=$(grep -c '^tochdr' "$log")
    wantedReads=$((unsettled == 0 ? 2 : 3))
    if [ "$(grep -c '^open' "$log")" -ne 1 ] || [ "$reads" -ne "$wantedReads" ] ||
        [ "$(tail -n 1 "$log")" != close ]; then
        echo "FAIL: device requests with $unsettled unsettled reads:"; cat "$log"
        failures=$((failures + 1))
    fi
done

# A TOC claiming 100 tracks has no room for its lead-out: unreadable.
{
    echo "tracks 1 100"
    for t in $(seq 1 100); do echo "track $t 0 $((t / 2)):$((2 + t % 2 * 30)):00"; done
    echo "leadout 60:00:00"
} >"$disc"
expect "100 tracks" 1 "$tocError" -- zemtra "$device" -cdid -tracks -toc

finish
