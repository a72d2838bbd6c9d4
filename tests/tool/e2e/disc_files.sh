# Shared helpers of the peer drivers that write disc files for the simulated
# drive (sourced, not run). The caller sets $disc, the file to write.

# msf <frames>: prints the address as minute:second:frame, without a newline.
msf() { printf '%d:%d:%d' $(($1 / 4500)) $(($1 / 75 % 60)) $(($1 % 75)); }

# writeDisc <first track number> <control of each track...> -- <starts...> <lead-out>
writeDisc() {
    local first=$1 controls=() starts=() t
    shift
    while [ "$1" != -- ]; do controls+=("$1"); shift; done
    shift
    starts=("$@")
    {
        echo "tracks $first $((first + ${#controls[@]} - 1))"
        for t in "${!controls[@]}"; do
            printf 'track %d %d ' $((first + t)) "${controls[t]}"
            msf "${starts[t]}"
            echo
        done
        printf 'leadout '
        msf "${starts[${#controls[@]}]}"
        echo
    } >"$disc"
}

# randomDisc <first> <tracks> <kind>: kind is audio, enhanced (one or two
# data tracks last, 11,400 frames or more after the audio), datafirst,
# dataonly or mixed (each track a data track with chance 1/4). Tracks are
# 500 to 40,000 frames long, the disc under 250 minutes.
randomDisc() {
    local first=$1 count=$2 kind=$3 controls=() starts=() t frames=$((150 + RANDOM % 100))
    local longest=$((1100000 / count < 40000 ? 1100000 / count : 40000)) dataCount=$((1 + RANDOM % 2))
    [ "$count" -lt 2 ] && dataCount=1
    for ((t = 0; t < count; t++)); do
        local control=0 length=$((500 + (RANDOM * 32768 + RANDOM) % (longest - 499)))
        case $kind in
            enhanced) [ $t -ge $((count - dataCount)) ] && [ $t -gt 0 ] && control=4 ;;
            datafirst) [ $t -eq 0 ] && control=4 ;;
            dataonly) control=$((4 + RANDOM % 2 * 2)) ;;
            mixed) [ $((RANDOM % 4)) -eq 0 ] && control=4 ;;
        esac
        # The second session starts at least 11,400 frames after the first ends.
        if [ $control -ge 4 ] && [ $t -gt 0 ] && [ "${controls[t - 1]}" -eq 0 ]; then
            frames=$((frames + 11400 + RANDOM % 300))
        fi
        controls+=("$control")
        starts+=("$frames")
        frames=$((frames + length))
    done
    writeDisc "$first" "${controls[@]}" -- "${starts[@]}" "$frames"
}

# writeDataDisc <further lines...>: the worked example ($here is the folder
# of the drivers) with a catalog number, ISRCs for tracks 1 and 3 and
# CD-TEXT packs with zeroed CRCs (none is checked then): the album title and
# performer, track titles "One" and "Two", a title for track 4 the TOC
# lacks, and a title across two packs for track 3; then the given lines.
writeDataDisc() {
    cp "$here/worked_example.disc" "$disc"
    {
        echo "mcn 0724384260927"
        echo "isrc 1 USRC17607839"
        echo "isrc 3 GBAYE0000001"
        printf 'cdtext %s\n' "${dataDiscPacks[@]}"
        printf '%s\n' "$@"
    } >>"$disc"
}
dataDiscPacks=(
    "80 00 00 00 41 6c 62 75 6d 00 4f 6e 65 00 54 77 00 00"
    "80 02 01 00 6f 00 54 68 72 65 65 20 6c 6f 6e 67 00 00"
    "80 03 02 00 20 74 69 74 6c 65 00 46 6f 75 72 00 00 00"
    "81 00 03 00 42 61 6e 64 1b 5b 32 4a 00 00 00 00 00 00"
)
