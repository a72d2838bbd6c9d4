#!/usr/bin/env bash
# The bash completion of zemtra, its usage text and help, and the manual
# are one set: the completion offers exactly the switches that the manual
# documents and zemtra accepts (and drives and paths for any other word);
# the usage text lists them in the synopsis's order; the help gives each
# the first sentence of its description; the version is the project's.
# Usage: completion_test.sh <completion script> <zemtra> <manual page> <version>
set -u
script=$1
zemtra=$2
manual=$3
version=$4
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

# Word lists below are split unquoted; "-?" must not match file names.
set -f
# The switches of the manual's OPTIONS section: ".B \-name" for a switch,
# ".BI \-name= VALUE" for one that takes a value after "="; the words that
# ask for the help and the version, listed there together on .BR lines.
documented=$(sed -n '/^\.SH OPTIONS/,/^\.SH /{
    s/^\.B \\-\([a-z]*\)$/-\1/p
    s/^\.BI \\-\([a-z]*=\) [A-Za-z]*$/-\1/p
}' "$manual" | LC_ALL=C sort -u)
[ "$(wc -l <<<"$documented")" -ge 19 ] || { echo "FAIL: manual lists too few switches"; failures=1; }
grep -q -- '-offset=' <<<"$documented" || { echo "FAIL: no value switch found"; failures=1; }
# infoWords <first word>: the words of the .BR line that begins with it.
infoWords() {
    sed -n "/^\.SH OPTIONS/,/^\.SH /{/^\.BR $1 /p}" "$manual" |
        grep -o '\\-[-a-z?\\]*' | sed 's/\\-/-/g'
}
helpWords=$(infoWords '\\-h')
versionWords=$(infoWords '\\-\\-version')
[ "$(echo $helpWords)" = "-h -help --help -?" ] || { echo "FAIL: help words: $helpWords"; failures=1; }
[ "$(echo $versionWords)" = "--version -version" ] ||
    { echo "FAIL: version words: $versionWords"; failures=1; }
check - "$(printf '%s\n' $documented $helpWords $versionWords | LC_ALL=C sort)"
check -- "--help
--version"
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
check -v "-version"

# The usage text: the synopsis's switches in its order, bracketed, on one line.
# A value switch stands as ".RB [ \-name=\c" and ".IR VALUE ]".
synopsis=$(sed -n '/^\.SH SYNOPSIS/,/^\.SH /{
    s/^\.RB \[ \\-\([a-z]*\) \]$/-\1/p
    /^\.RB \[ \\-[a-z]*=\\c$/{
        N
        s/^\.RB \[ \\-\([a-z]*=\)\\c\n\.IR \([A-Za-z]*\) \]$/-\1\2/p
    }
}' "$manual")
[ "$(sed 's/=.*/=/' <<<"$synopsis" | LC_ALL=C sort)" = "$documented" ] ||
    { echo "FAIL: the synopsis and OPTIONS list different switches"; failures=1; }
usage="Zemtra <drive>$(printf ' [%s]' $synopsis)"
got=$("$zemtra" | tr -d '\r')
[ "$got" = "$usage" ] || { echo "FAIL: usage text"; echo "wanted: $usage"; echo "got: $got"; failures=1; }

# summary <switch>: the first sentence of the switch's description in OPTIONS.
summary() {
    local tag=".B \\$1"
    case $1 in *=*) tag=".BI \\${1%%=*}= ${1#*=}" ;; esac
    awk -v tag="$tag" '
        /^\.SH / { options = ($2 == "OPTIONS") }
        options && previous == ".TP" && $0 == tag { taking = 1; text = ""; previous = $0; next }
        taking && /^\./ { taking = 0 }
        taking { text = text (text == "" ? "" : " ") $0 }
        { previous = $0 }
        END {
            gsub(/\\-/, "-", text)
            end = index(text, ". ")
            print end ? substr(text, 1, end) : text
        }' "$manual"
}
# The help: the usage text, then each switch in the same order with its summary.
help=$usage
width=$(printf '%s\n' $synopsis | awk '{ if (length > w) w = length } END { print w }')
for word in $synopsis; do
    help+=$'\n'$(printf '  %-*s  %s' "$width" "$word" "$(summary "$word")")
done
for word in $helpWords; do
    got=$("$zemtra" "$work/no-drive" -cdid "$word" -bogus | tr -d '\r')
    status=${PIPESTATUS[0]}
    if [ "$got" = "$help" ] && [ "$status" -eq 0 ]; then
        echo "ok: help for $word"
    else
        echo "FAIL: help for $word (status $status)"; diff <(echo "$help") <(echo "$got")
        failures=$((failures + 1))
    fi
done

# The version: the project's, which the manual's header carries too.
grep -q "^\.TH ZEMTRA 1 \".*\" \"Zemtra $version\"" "$manual" ||
    { echo "FAIL: the manual's header is not of version $version"; failures=1; }
for word in $versionWords; do
    got=$("$zemtra" "$word" "$work/no-drive" | tr -d '\r')
    status=${PIPESTATUS[0]}
    [ "$got" = "zemtra $version" ] && [ "$status" -eq 0 ] ||
        { echo "FAIL: $word says: $got (status $status)"; failures=$((failures + 1)); }
done
grep -q "^\.BR \"zemtra $version\" \.$" "$manual" ||
    { echo "FAIL: the manual's OPTIONS quote another version"; failures=1; }

set +f

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
