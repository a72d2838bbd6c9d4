# Shared helpers of the end-to-end drivers (sourced, not run).
#
# expect <name> <status> <expected lines> -- <command...>
# Runs the command with its standard output going to a file and compares
# that file byte for byte with the expected lines, each of which the tool
# ends with CR LF and the console turns into CR CR LF. An empty expected
# text means no output at all. Failures are counted in $failures.
failures=0

# usage is the usage line that zemtra prints without arguments.
usage='Zemtra <drive> [-toc] [-tocstart] [-toclength] [-tocend] [-tocidx] [-tocctrl] [-cdid] [-mbid] [-mbtoc] [-mburl] [-mbws] [-arid] [-arurl] [-cddb] [-tracks] [-length] [-msf] [-secs] [-frames] [-mcn] [-tocisrc] [-cdtext] [-tocpregap] [-tocindex] [-cue] [-cuetracks] [-ctdbid] [-arcrc] [-offset=N] [-ardb=FILE] [-findoffset] [-json]'
# switchCount is the number of switches the usage line lists.
switchCount=$(grep -o '\[' <<<"$usage" | wc -l)

expect() {
    local name=$1 status=$2 lines=$3
    shift 4
    local wanted=$work/wanted.out
    if [ -n "$lines" ]; then
        printf '%s\n' "$lines" | awk '{ printf "%s\r\r\n", $0 }' >"$wanted"
    else
        : >"$wanted"
    fi
    compareRun "$name" "$status" "$wanted" "$work/actual.out" true -- "$@"
}

# expectJson <name> <status> <message> -- <command...>
# Runs the command, whose standard output must be the error document of
# the message exactly (LF line ends), and checks it against the schema in
# $schema. The document stays in $work/<name>.json.
expectJson() {
    local name=$1 status=$2 message=$3
    shift 4
    local wanted=$work/wanted.json
    printf '{\n  "error": "%s"\n}\n' "$message" >"$wanted"
    compareRun "$name" "$status" "$wanted" "$work/${name// /_}.json" \
        python3 "$(dirname "${BASH_SOURCE[0]}")/json_document.py" "$schema" -- "$@"
}

# compareRun <name> <status> <wanted file> <output file> <check...> -- <command...>
# Runs the command with its standard output going to the output file, and
# counts a failure unless its status is the one given, the output is the
# wanted file byte for byte and the check, given the output file as its
# last argument, succeeds.
compareRun() {
    local name=$1 status=$2 wanted=$3 actual=$4 check=()
    shift 4
    while [ "$1" != -- ]; do check+=("$1"); shift; done
    shift
    "$@" >"$actual" </dev/null
    local got=$?
    if [ "$got" -ne "$status" ] || ! cmp -s "$wanted" "$actual" || ! "${check[@]}" "$actual"; then
        failures=$((failures + 1))
        echo "FAIL: $name (status $got, wanted $status)"
        echo "--- wanted"; od -c "$wanted" | head -20
        echo "--- got"; od -c "$actual" | head -20
    else
        echo "ok: $name"
    fi
}

# requests: the requests in the simulated drive's log $log other than the
# TOC's, on one line.
requests() { grep -v '^toc' "$log" 2>/dev/null | tr '\n' ' '; }

# expectRequests <name> <requests>: the requests of the last run.
expectRequests() {
    if [ "$(requests)" != "$2" ]; then
        failures=$((failures + 1))
        echo "FAIL: $1: requests $(requests), wanted $2"
    else
        echo "ok: $1"
    fi
}

finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures case(s) failed"
        exit 1
    fi
    exit 0
}
