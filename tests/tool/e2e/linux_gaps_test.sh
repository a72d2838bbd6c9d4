#!/usr/bin/env bash
# End-to-end run of the gap columns and the cue sheets on the simulated
# drive (the cases of gap_cases.sh), and the reads they take: none unasked,
# each boundary and a 99-track disc within their budgets, at most 400
# failed reads.
# Usage: linux_gaps_test.sh <zemtra> <simdrive.so> <version> [runtime to preload first]
set -u
ZEMTRA_VERSION=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/simdrive.sh"
simdriveSetup "$1" "$2" "${4:-}"
. "$here/expect.sh"
. "$here/disc_files.sh"
. "$here/gap_cases.sh"

log=$work/requests.log
zemtra() {
    rm -f "$log"
    ZEMTRA_SIMDRIVE_LOG="$log" onDrive "$zemtra" "$device" "$@"
}
# reads: the READ CD requests of the last run.
reads() { grep -c '^readq' "$log"; }
# expectReads <name> <most> [least]
expectReads() {
    local count
    count=$(reads)
    if [ "$count" -gt "$2" ] || [ "$count" -lt "${3:-0}" ]; then
        failures=$((failures + 1))
        echo "FAIL: $1: $count reads, wanted ${3:-0} to $2"
    else
        echo "ok: $1 ($count reads)"
    fi
}

runGapCases

useDisc sample.disc
zemtra -toc -tocisrc -cdtext -mcn >/dev/null
expectReads "no gap switch, no READ CD" 0
zemtra -tocpregap -tocindex -cdid >/dev/null
expectReads "gap columns without the table read nothing" 0

# Every read fails: each is made four times, and after 400 failed reads
# everything left is unknown.
useDisc sample.disc "qfail 0 99999"
zemtra -toc -tocpregap >/dev/null
expectReads "four tracks that fail" 400 4
starts=()
for ((t = 0; t <= 99; t++)); do starts+=($((150 + t * 4000))); done
writeDisc 1 $(printf '0 %.0s' {1..99}) -- "${starts[@]}"
echo "qfail 0 999999" >>"$disc"
zemtra -cue >/dev/null
expectReads "99 unreadable tracks: 400 failed reads" 400 400

# SG_IO refused (EPERM: a user without the right) is a failed command on
# Linux: the search makes the reads it makes when every read fails, retries
# included. (Under Wine the same refusal means the device takes no
# commands, and the search ends at once.)
useDisc sample.disc "qfail 0 99999"
zemtra -toc -tocpregap -tocindex >/dev/null
failing=$(reads)
useDisc sample.disc "sgiofail EPERM"
expect "SG_IO refused: every gap unknown" 0 "$sampleUnknownRows" -- zemtra -toc -tocpregap -tocindex
refused=$(grep -c '^sgio refused$' "$log")
if [ "$refused" -ne "$failing" ] || [ "$refused" -le 4 ]; then
    failures=$((failures + 1))
    echo "FAIL: SG_IO refused: $refused commands, wanted $failing as for failing reads"
else
    echo "ok: SG_IO refused: $refused failed commands, as for failing reads"
fi

# Budgets: a boundary without pregap 3 reads, one with a pregap 40, a
# 99-track disc 4,000; counted on discs whose every boundary is alike.
starts=()
frames=150
for ((t = 0; t < 99; t++)); do
    starts+=("$frames")
    frames=$((frames + 2000 + RANDOM % 3000))
done
starts+=("$frames")
writeDisc 1 $(printf '0 %.0s' {1..99}) -- "${starts[@]}"
zemtra -toc -tocpregap -tocindex >/dev/null
expectReads "99 tracks without pregaps: 3 reads a boundary" $((98 * 3 + 1)) 98
for ((t = 2; t <= 99; t++)); do echo "pregap $t $((1 + RANDOM % 1500))"; done >>"$disc"
if grep -q '?' <(zemtra -toc -tocpregap -tocindex); then
    failures=$((failures + 1))
    echo "FAIL: 99 tracks with pregaps: a gap left unknown"
fi
expectReads "99 tracks with pregaps: 40 reads a boundary" $((98 * 40 + 1)) 98
# Mode-2 and mode-3 frames every eleventh sector cost neighbour reads.
echo "qother 11 5" >>"$disc"
zemtra -toc -tocpregap -tocindex >/dev/null
expectReads "... with mode-2/3 frames" $((98 * 40 + 1)) 98
for ((t = 1; t <= 99; t++)); do echo "index $t 2 $(msf $((starts[t - 1] + 900)))"; done >>"$disc"
zemtra -cue >/dev/null
expectReads "99 tracks with pregaps and INDEX 02: at most 4,000 reads" 4000 98

finish
