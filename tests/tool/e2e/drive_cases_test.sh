#!/usr/bin/env bash
# The same simulated discs read by zemtra on Linux (SCSI commands through
# SG_IO) and by zemtra.exe under Wine (through IOCTL_SCSI_PASS_THROUGH_DIRECT,
# which Wine carries to SG_IO, and through the CD-ROM requests where the
# device takes no commands): both print the same lines, as written here.
#
# The drive is a file recognised by its device and inode
# (ZEMTRA_SIMDRIVE_NODE). On Linux zemtra opens it by its path; under Wine
# it is drive D: (wine_drive.sh).
#
# Usage: drive_cases_test.sh linux <zemtra> <simdrive.so> [runtime to preload first]
#        drive_cases_test.sh windows <zemtra.exe> <simdrive.so> <wine-run> <wine prefix>
#                            [native zemtra to compare random discs with]
set -u
platform=$1
zemtra=$2
shim=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
. "$here/expect.sh"
. "$here/disc_files.sh"

node=$work/drive
: >"$node"
disc=$work/disc.txt
log=$work/requests.log

case $platform in
linux)
    preload=${4:+$4:}$shim
    native=
    drive() { printf '%s' "$node"; }
    useNode() { node=$1; }
    trap 'rm -rf "$work"' EXIT
    ;;
windows)
    wineRun=$4
    export WINEPREFIX=$5
    native=${6:-}
    preload=$shim
    . "$here/wine_drive.sh"
    drive() { printf 'D:'; }
    useNode() {
        node=$1
        useWineNode "$node"
    }
    mapWineDrive d "$work"
    useNode "$node"
    trap 'unmapWineDrive; rm -rf "$work"' EXIT
    ;;
*)
    echo "drive_cases_test.sh: unknown platform $platform" >&2
    exit 2
    ;;
esac

# zemtra <args...>: the program under test on the simulated drive.
zemtra() {
    rm -f "$log"
    if [ "$platform" = windows ]; then
        startedUnderWine env LD_PRELOAD="$preload" ZEMTRA_SIMDRIVE_NODE="$node" \
            ZEMTRA_SIMDRIVE_DISC="$disc" ZEMTRA_SIMDRIVE_LOG="$log" "$wineRun" "$zemtra" "$@"
    else
        env LD_PRELOAD="$preload" ZEMTRA_SIMDRIVE_NODE="$node" ZEMTRA_SIMDRIVE_DISC="$disc" \
            ZEMTRA_SIMDRIVE_LOG="$log" "$zemtra" "$@"
    fi
}
# The worked example with what the disc carries (Wine reads the TOC once per
# process and answers further reads from its cache: the request logs leave
# the TOC out).
everything=(-cdtext -tocisrc -toc -mcn -tracks -cdid -mbid)
head="CDID: 1902ce03
MBID: SQiFYOy5pb1fSd1CnF3kgi8kQcc-
MCN: 0724384260927
Tracks: 3"
text="Album title: Album
Album performer: Band?[2J
Track 1 title: One
Track 2 title: Two
Track 3 title: Three long title"
rows="  1:       000:02:00       004:11:37 USRC17607839
  2:       004:13:37       004:41:48            -
  3:       008:55:10       003:05:40            -"
bareRows="  1:       000:02:00       004:11:37            -
  2:       004:13:37       004:41:48            -
  3:       008:55:10       003:05:40            -"
bare="CDID: 1902ce03
MBID: SQiFYOy5pb1fSd1CnF3kgi8kQcc-
Tracks: 3
$bareRows"
commands="subchannel 2 0 subchannel 3 1 subchannel 3 2 cdtext 4 cdtext 76 "

writeDataDisc
expect "everything" 0 "$head
$text
$rows" -- zemtra "$(drive)" "${everything[@]}"
expectRequests "everything through SCSI commands, audio tracks only" "$commands"
expect "TOC lines" 0 "Length: 011:58:50
  1:       000:02:00       004:11:37       004:13:37 0000    1
  2:       004:13:37       004:41:48       008:55:10 0000    2
  3:       008:55:10       003:05:40       012:00:50 0004    3" \
    -- zemtra "$(drive)" -length -toc -tocidx -tocctrl -tocend -toclength -tocstart
expectRequests "nothing read unasked" ""

writeDataDisc subchannelfail "cdtextfail 1"
expect "commands that fail (stale bytes in the buffer)" 0 "$bare" \
    -- zemtra "$(drive)" "${everything[@]}"
writeDataDisc mcninvalid "isrcinvalid 1" "subchanneldeliver 21"
expect "valid bits clear, short answers" 0 "CDID: 1902ce03
MBID: SQiFYOy5pb1fSd1CnF3kgi8kQcc-
Tracks: 3
$text
$bareRows" -- zemtra "$(drive)" "${everything[@]}"
writeDataDisc "cdtextdeliver 57"
expect "device delivers less than asked" 0 "Album title: Album
Track 1 title: One
Track 2 title: Two" -- zemtra "$(drive)" -cdtext

# A device that refuses SG_IO (EPERM: a user without the right; ENOTTY: no
# SCSI commands at all) takes no commands: Windows falls back to the
# CD-ROM requests. Wine answers the catalog number request with its valid
# bit clear, has no ISRC request (it asks the audio status only) and no
# CD-TEXT request (IOCTL_CDROM_READ_TOC_EX), so nothing is printed there;
# Linux takes the refusal as a failed command.
for refusal in EPERM ENOTTY EIO; do
    writeDataDisc "sgiofail $refusal"
    expect "SG_IO refused with $refusal" 0 "$bare" -- zemtra "$(drive)" "${everything[@]}"
    if [ "$platform" = windows ] && [ "$refusal" != EIO ]; then
        expectRequests "$refusal: the CD-ROM requests instead" "sgio refused subchnl getmcn \
sgio refused subchnl sgio refused subchnl sgio refused "
    else
        expectRequests "$refusal: a failed command, no other request" \
            "sgio refused sgio refused sgio refused sgio refused "
    fi
done

# Answers that claim more bytes than were asked for: on Linux a residue
# below 0 fails the command; under Wine the byte count (asked for minus the
# residue) is cut to the buffer's size.
writeDataDisc "scsiclaim 8"
if [ "$platform" = windows ]; then
    expect "answers claim more than asked" 0 "$head
$text
$rows" -- zemtra "$(drive)" "${everything[@]}"
else
    expect "answers claim more than asked" 0 "$bare" -- zemtra "$(drive)" "${everything[@]}"
fi

echo nodisc >"$disc"
expect "no disc" 1 "Error: Can't read disk TOC." -- zemtra "$(drive)" "${everything[@]}"
expectRequests "no disc, no further requests" ""

# A device the user may open for reading only: zemtra opens it so (Wine
# takes commands on such a handle; Windows refuses them, and the CD-ROM
# requests answer). The file stands for the drive only if it refuses to
# open for writing here: one without write permission (not for root), or a
# read-only kernel attribute.
readOnly=
: >"$work/readonly"
chmod a-w "$work/readonly"
for candidate in "$work/readonly" /sys/devices/system/cpu/online; do
    if [ -e "$candidate" ] && ! (exec 3<>"$candidate") 2>/dev/null; then
        readOnly=$candidate
        break
    fi
done
if [ -n "$readOnly" ]; then
    useNode "$readOnly"
    writeDataDisc
    expect "device opens for reading only" 0 "$head
$text
$rows" -- zemtra "$(drive)" "${everything[@]}"
    useNode "$work/drive"
else
    echo "ok: device opens for reading only: skipped, every file opens for writing here"
fi

# Random discs: the lines of the Linux build, when there is one to compare
# with, on the same disc files.
if [ -n "$native" ] && [ -x "$native" ]; then
    switches=(-cdid -mbid -mbtoc -arid -cddb -length -tracks -toc -tocstart -toclength -tocend
        -tocctrl -tocidx -mcn -tocisrc -cdtext)
    for kind in audio enhanced datafirst mixed audio dataonly; do
        first=$((RANDOM % 3 == 0 ? 1 + RANDOM % 20 : 1))
        count=$((1 + RANDOM % 30))
        [ $((first + count)) -gt 100 ] && count=$((100 - first))
        randomDisc "$first" "$count" "$kind"
        {
            printf 'mcn %013d\n' $((RANDOM * 32768 + RANDOM))
            echo "isrc $first ZZ$(printf '%010d' $RANDOM)"
            printf 'cdtext %s\n' "${dataDiscPacks[@]}"
        } >>"$disc"
        wanted=$(env LD_PRELOAD="$shim" ZEMTRA_SIMDRIVE_NODE="$node" ZEMTRA_SIMDRIVE_DISC="$disc" \
            "$native" "$node" "${switches[@]}" | tr -d '\r')
        expect "random $kind disc, tracks $first to $((first + count - 1))" 0 "$wanted" \
            -- zemtra "$(drive)" "${switches[@]}"
    done
elif [ "$platform" = windows ]; then
    echo "ok: random discs: skipped, no native zemtra to compare with"
fi

finish
