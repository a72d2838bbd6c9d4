# The gap and cue-sheet cases of the discs in gap_discs/, for any platform's
# driver (sourced, not run). The caller has sourced expect.sh and defines
# zemtra (runs the tool on the simulated drive, which holds the disc file
# $disc) and $work. useDisc <file> [lines...] writes $disc from a disc file
# and further lines; runGapCases runs every case.
discs=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/gap_discs

useDisc() {
    local file=$1
    shift
    { cat "$discs/$file"; printf '%s\n' "$@"; } >"$disc"
}

# expectCue <name> <expected lines> -- <command...>: the sheet's lines each
# end in exactly one CR and an LF.
expectCue() {
    local name=$1 lines=$2
    shift 3
    local actual=$work/actual.cue wanted=$work/wanted.cue
    printf '%s\n' "$lines" | awk '{ printf "%s\r\n", $0 }' >"$wanted"
    "$@" >"$actual" </dev/null
    local got=$?
    if [ "$got" -ne 0 ] || ! cmp -s "$wanted" "$actual"; then
        failures=$((failures + 1))
        echo "FAIL: $name (status $got)"
        diff <(od -c "$wanted") <(od -c "$actual") | head -20
    else
        echo "ok: $name"
    fi
}

sampleRows="  1:       000:02:00       004:11:37       000:00:00 -
  2:       004:13:37       004:41:48       000:02:00 -
  3:       008:55:10       003:04:65       000:00:00 2@010:00:00 3@011:00:00
  4:       012:00:00       003:00:00       000:00:37 -"
# The sample's rows when no frame can be read: only track 1's pregap,
# which starts at LBA 0, is known.
sampleUnknownRows="  1:       000:02:00       004:11:37       000:00:00 ?
  2:       004:13:37       004:41:48               ? ?
  3:       008:55:10       003:04:65               ? ?
  4:       012:00:00       003:00:00               ? ?"
sampleHeader='REM DISCID 22038204
REM COMMENT "zemtra '"$ZEMTRA_VERSION"'"
CATALOG 0724384260927
PERFORMER "The Zemtra[2J Players"
TITLE "Sample Album"'
sampleCue="$sampleHeader
FILE \"CDImage.wav\" WAVE
  TRACK 01 AUDIO
    TITLE \"Overture\"
    ISRC USRC17607839
    FLAGS DCP
    INDEX 01 00:00:00
  TRACK 02 AUDIO
    TITLE \"Two 'quoted'\"
    INDEX 00 04:09:37
    INDEX 01 04:11:37
  TRACK 03 AUDIO
    TITLE \"Three\"
    ISRC GBAYE0000001
    FLAGS 4CH PRE
    INDEX 01 08:53:10
    INDEX 02 09:58:00
    INDEX 03 10:58:00
  TRACK 04 AUDIO
    INDEX 00 11:57:38
    INDEX 01 11:58:00"
sampleTracksCue="$sampleHeader
FILE \"Track01.wav\" WAVE
  TRACK 01 AUDIO
    TITLE \"Overture\"
    ISRC USRC17607839
    FLAGS DCP
    INDEX 01 00:00:00
  TRACK 02 AUDIO
    TITLE \"Two 'quoted'\"
    INDEX 00 04:09:37
FILE \"Track02.wav\" WAVE
    INDEX 01 00:00:00
FILE \"Track03.wav\" WAVE
  TRACK 03 AUDIO
    TITLE \"Three\"
    ISRC GBAYE0000001
    FLAGS 4CH PRE
    INDEX 01 00:00:00
    INDEX 02 01:04:65
    INDEX 03 02:04:65
  TRACK 04 AUDIO
    INDEX 00 03:04:28
FILE \"Track04.wav\" WAVE
    INDEX 01 00:00:00"

runGapCases() {
    local quirk
    useDisc sample.disc
    expect "sample: gap columns" 0 "$sampleRows" -- zemtra -toc -tocindex -tocpregap
    expectCue "sample: cue sheet" "$sampleCue" -- zemtra -cue
    expectCue "sample: cue sheet per track" "$sampleTracksCue" -- zemtra -cuetracks -toc

    # Drives that answer differently, and frames in the searches' way that
    # neighbours stand in for: the same gaps.
    for quirk in qbinary qnocrc "qslip 1" "qslip -1" "qother 97 3" "qbadcrc 17000 17100" \
        "qfail 18800 18900 3" "qjunk 9000 9010" "qtrack 30000 30020 9" "qdeliver 12" \
        "qbinary
qnocrc
qslip 1"; do
        useDisc sample.disc "$quirk"
        expect "sample, ${quirk//$'\n'/, }" 0 "$sampleRows" -- zemtra -toc -tocpregap -tocindex
    done

    # A boundary sector whose frame does not count: that gap is unknown,
    # and so are the indexes of the track before it (its last sector).
    local unknownRows="  1:       000:02:00       004:11:37       000:00:00 ?
  2:       004:13:37       004:41:48               ? -
  3:       008:55:10       003:04:65       000:00:00 2@010:00:00 3@011:00:00
  4:       012:00:00       003:00:00       000:00:37 -"
    for quirk in "qbadcrc 18711 18712" "qother 18711 0" "qjunk 18711 18712" \
        "qtrack 18711 18712 5" "qfail 18711 18712"; do
        useDisc sample.disc "$quirk"
        expect "sample, boundary: $quirk" 0 "$unknownRows" -- zemtra -toc -tocpregap -tocindex
    done
    useDisc sample.disc "qbadcrc 18711 18712"
    expectCue "sample, unknown gap: cue sheet" "$(sed -e '/INDEX 00 04:09:37/d' \
        -e 's/^  TRACK 01 AUDIO$/  REM GAP UNKNOWN 01\n&/' \
        -e 's/^  TRACK 02 AUDIO$/  REM GAP UNKNOWN 02\n&/' <<<"$sampleCue")" -- zemtra -cue

    for quirk in "qdeliver 11" "qjunk 0 99999" "qtrack 0 99999 7" "qfail 0 99999" \
        "qbadcrc 0 99999"; do
        useDisc sample.disc "$quirk"
        expect "sample, every frame: $quirk" 0 "$sampleUnknownRows" \
            -- zemtra -toc -tocpregap -tocindex
    done

    useDisc htoa.disc
    expect "hidden track one audio" 0 "  1:       000:34:00       000:32:00 -
  2:       005:00:00       000:01:00 -" -- zemtra -toc -tocstart -tocpregap -tocindex
    expectCue "hidden track one audio: cue sheet" 'REM DISCID 0A01FA02
REM COMMENT "zemtra '"$ZEMTRA_VERSION"'"
FILE "CDImage.wav" WAVE
  TRACK 01 AUDIO
    INDEX 00 00:00:00
    INDEX 01 00:32:00
  TRACK 02 AUDIO
    INDEX 00 04:57:00
    INDEX 01 04:58:00' -- zemtra -cue
    expectCue "hidden track one audio: cue sheet per track" 'REM DISCID 0A01FA02
REM COMMENT "zemtra '"$ZEMTRA_VERSION"'"
FILE "Track01.wav" WAVE
  TRACK 01 AUDIO
    PREGAP 00:32:00
    INDEX 01 00:00:00
  TRACK 02 AUDIO
    INDEX 00 04:25:00
FILE "Track02.wav" WAVE
    INDEX 01 00:00:00' -- zemtra -cuetracks
    useDisc htoa.disc "qfail 0 3"
    expect "hidden audio the drive cannot read" 0 "  1:       000:34:00               ? -
  2:       005:00:00       000:01:00 -" -- zemtra -toc -tocstart -tocpregap -tocindex

    useDisc enhanced.disc
    expect "enhanced CD" 0 "  1:       000:02:00       000:00:00 0000 -
  2:       003:00:00       000:02:50 0000 2@004:00:00
  3:       009:00:00               ? 0004 ?" -- zemtra -toc -tocstart -tocpregap -tocctrl -tocindex
}
