#!/usr/bin/env bash
# zemtra.exe under Wine reading gaps and audio from the simulated drive
# through IOCTL_SCSI_PASS_THROUGH_DIRECT (which Wine carries to SG_IO): the
# gap and cue-sheet cases of gap_cases.sh and the verification cases of
# verify_cases.sh, with the lines the Linux build's tests expect; and a
# device that refuses commands (SG_IO failing with EPERM or ENOTTY, which
# Wine answers with ERROR_ACCESS_DENIED or ERROR_NOT_SUPPORTED): every gap
# unknown and every track unreadable after one command.
#
# The drive is E: of the prefix (wine_drive.sh), so that this test runs
# beside drive_cases_test.sh, which maps D:.
#
# Usage: wine_reads_test.sh <zemtra.exe> <simdrive.so> <wine-run> <wine prefix> <version>
#                           <verify_reference>
set -u
zemtraExe=$1
shim=$2
wineRun=$3
export WINEPREFIX=$4
ZEMTRA_VERSION=$5
reference=$6
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
. "$here/expect.sh"
. "$here/gap_cases.sh"
. "$here/verify_cases.sh"
. "$here/wine_drive.sh"

node=$work/drive
: >"$node"
disc=$work/disc.txt
log=$work/requests.log
mapWineDrive e "$work"
useWineNode "$node"
trap 'unmapWineDrive; rm -rf "$work"' EXIT

# zemtra <args...>: zemtra.exe on the simulated drive.
zemtra() {
    rm -f "$log"
    startedUnderWine env LD_PRELOAD="$shim" ZEMTRA_SIMDRIVE_NODE="$node" \
        ZEMTRA_SIMDRIVE_DISC="$disc" ZEMTRA_SIMDRIVE_LOG="$log" "$wineRun" "$zemtraExe" E: "$@"
}

runGapCases

# No commands: the search ends at the first refused one. The cue sheet
# still comes, each track's gaps unknown; the catalog number, ISRCs and
# CD-TEXT come from the requests Wine answers without commands, which
# deliver none.
for refusal in EPERM ENOTTY; do
    useDisc sample.disc "sgiofail $refusal"
    expect "SG_IO refused with $refusal: every gap unknown" 0 "$sampleUnknownRows" \
        -- zemtra -toc -tocpregap -tocindex
    expectRequests "SG_IO refused with $refusal: one command" "sgio refused "
done
expectCue "no commands: cue sheet" "$(sed -e '/^CATALOG\|^PERFORMER\|^TITLE\|    TITLE\|ISRC/d' \
    -e '/INDEX 0[023]/d' -e 's/^  TRACK \(..\) AUDIO$/  REM GAP UNKNOWN \1\n&/' \
    <<<"$sampleCue")" -- zemtra -cue

runVerifyCases

disc "sgiofail EPERM"
expect "no commands: every track unreadable" 2 \
    "$(unreadable "$(unreadable "$(unreadable "$(wanted 0 0)" 1 0)" 2 600)" 3 1100)" \
    -- zemtra -arcrc
expectRequests "no commands: one command" "sgio refused "
finish
