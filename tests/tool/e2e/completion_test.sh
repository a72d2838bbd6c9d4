#!/usr/bin/env bash
# The bash completion of zemtra: it offers exactly the switches that the
# manual documents and zemtra accepts, and drives and paths for any other
# word.
# Usage: completion_test.sh <completion script> <zemtra> <manual page>
set -u
script=$1
zemtra=$2
manual=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

. "$script"
complete -p zemtra | grep -q -- '-F _zemtra zemtra$' || { echo "FAIL: not registered"; failures=1; }

# completions <word>: the completions of the word after "zemtra", one a line, sorted.
completions() {
    COMP_WORDS=(zemtra "$1")
    COMP_CWORD=1
    _zemtra
    [ ${#COMPREPLY[@]} -gt 0 ] && printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort
}

# check <word> <wanted completions, one a line>
check() {
    local got
    got=$(completions "$1")
    if [ "$got" = "$2" ]; then
        echo "ok: '$1'"
    else
        echo "FAIL: '$1'"; echo "wanted:"; echo "$2"; echo "got:"; echo "$got"
        failures=$((failures + 1))
    fi
}

# The switches of the manual's OPTIONS section: ".B \-name" for a switch,
# ".BI \-name= value" for one that takes a value after "=".
documented=$(sed -n '/^\.SH OPTIONS/,/^\.SH /{
    s/^\.B \\-\([a-z]*\)$/-\1/p
    s/^\.BI \\-\([a-z]*=\) [A-Za-z]*$/-\1/p
}' "$manual" | LC_ALL=C sort -u)
[ "$(wc -l <<<"$documented")" -ge 19 ] || { echo "FAIL: manual lists too few switches"; failures=1; }
grep -q -- '-offset=' <<<"$documented" || { echo "FAIL: no value switch found"; failures=1; }
check - "$documented"
# Every one is a switch of zemtra: the drive's error comes, not an unknown
# parameter (value switches get a value); as a document when -json is among
# them.
valued=$(sed 's/=$/=1/' <<<"$documented")
# shellcheck disable=SC2046
status=$("$zemtra" "$work/no-drive" $(grep -vx -- -json <<<"$valued") | tr -d '\r')
[ "$status" = "Error: Can't read disk TOC." ] || { echo "FAIL: zemtra says: $status"; failures=1; }
# shellcheck disable=SC2046
status=$("$zemtra" "$work/no-drive" $valued)
[ "$status" = $'{\n  "error": "Can\'t read disk TOC"\n}' ] || { echo "FAIL: zemtra -json says: $status"; failures=1; }

check -mb "-mbid
-mbtoc
-mburl
-mbws"
check -ar "-arcrc
-ardb=
-arid
-arurl"
check -off "-offset="
check -toc "-toc
-tocctrl
-tocend
-tocidx
-tocindex
-tocisrc
-toclength
-tocpregap
-tocstart"
check -cu "-cue
-cuetracks"
check -cddb -cddb
check -j -json
check -x ""
check --toc ""

# Drives from a device directory of our own (cdrw and sda are no optical
# drives' names); files from the working directory.
_zemtra_devices=$work/dev
mkdir -p "$work/dev/disk" "$work/cwd/sub"
touch "$work/dev/sr0" "$work/dev/sr1" "$work/dev/cdrom" "$work/dev/cdrw" "$work/dev/sda" \
    "$work/dev/disk/by-id" "$work/cwd/a.disc" "$work/cwd/my disc"
cd "$work/cwd" || exit 1
dev=$work/dev
check "" "$dev/cdrom
$dev/sr0
$dev/sr1
a.disc
my disc
sub"
check "$dev/" "$dev/cdrom
$dev/sr0
$dev/sr1"
check "$dev/c" "$dev/cdrom"
check "$dev/s" "$dev/sr0
$dev/sr1"
check "$dev/disk/" "$dev/disk/by-id"
check "my" "my disc"
check -ardb=my "-ardb=my disc"
check -ardb=sub/ ""
check "sub/" ""
# The drives extend any path they begin with.
check "$work/d" "$work/dev
$dev/cdrom
$dev/sr0
$dev/sr1"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
