#!/usr/bin/env bash
# End-to-end run of the Windows zemtra.exe under Wine: the same bytes as on
# Linux. Under Wine C: opens as a raw device but answers no TOC request, so
# it reads as a drive without a disc: the TOC error; Q: does not exist.
# Usage: windows_report_test.sh <zemtra.exe> <wine-run> <report.schema.json> <version>
set -u
zemtra=$1
wineRun=$2
schema=$3
version=$4
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$here/expect.sh"

zemtra() { "$wineRun" "$zemtra" "$@"; }

expect "usage" 0 "$usage" -- zemtra
expect "version" 0 "zemtra $version" -- zemtra -version C:
help=$(zemtra C: '-?' | tr -d '\r')
[ "$(head -n 1 <<<"$help")" = "$usage" ] && [ "$(wc -l <<<"$help")" -eq $((switchCount + 1)) ] &&
    [ "$(grep -c '^  -[^ ]*  *[A-Z].*\.$' <<<"$help")" -eq "$switchCount" ] ||
    { echo "FAIL: help: $help"; failures=$((failures + 1)); }
expect "help word in another case" 1 "Error: Unknown parameter --HELP" -- zemtra C: --HELP
expect "unknown switch" 1 "Error: Unknown parameter -tocEnd" -- zemtra C: -toc -tocEnd
expect "no drive" 1 "Error: No drive specified." -- zemtra -cdid '' -toc
expect "drive that does not exist" 1 "Error: Can't read disk TOC." -- zemtra Q: -cdid
expect "drive without a TOC" 1 "Error: Can't read disk TOC." \
    -- zemtra "'-cdid'" c -length -tracks -toc -secs

# The same errors as JSON documents, with LF line ends.
expectJson "JSON: unknown switch" 1 "Unknown parameter -tocEnd" -- zemtra C: -tocEnd -json
expectJson "JSON: no drive" 1 "No drive specified" -- zemtra -json -cdid
expectJson "JSON: drive without a TOC" 1 "Can't read disk TOC" -- zemtra C: -json -tocisrc -mcn
expectJson "JSON: drive that does not exist" 1 "Can't read disk TOC" -- zemtra Q -json

finish
