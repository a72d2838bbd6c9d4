# Shared helpers of the end-to-end drivers (sourced, not run).
#
# expect <name> <status> <expected lines> -- <command...>
# Runs the command with its standard output going to a file and compares
# that file byte for byte with the expected lines, each of which the tool
# ends with CR LF and the console turns into CR CR LF. An empty expected
# text means no output at all. Failures are counted in $failures.
failures=0

# usage is the usage line that zemtra prints without arguments.
usage='Zemtra <drive> [-toc] [-tocstart] [-toclength] [-tocend] [-tocidx] [-tocctrl] [-cdid] [-mbid] [-mbtoc] [-mburl] [-mbws] [-arid] [-arurl] [-cddb] [-tracks] [-length] [-msf] [-secs] [-frames] [-mcn] [-tocisrc] [-cdtext]'
# switchCount is the number of switches the usage line lists.
switchCount=$(grep -o '\[' <<<"$usage" | wc -l)

expect() {
    local name=$1 status=$2 lines=$3
    shift 4
    local actual=$work/actual.out wanted=$work/wanted.out
    if [ -n "$lines" ]; then
        printf '%s\n' "$lines" | awk '{ printf "%s\r\r\n", $0 }' >"$wanted"
    else
        : >"$wanted"
    fi
    "$@" >"$actual" </dev/null
    local got=$?
    if [ "$got" -ne "$status" ] || ! cmp -s "$wanted" "$actual"; then
        failures=$((failures + 1))
        echo "FAIL: $name (status $got, wanted $status)"
        echo "--- wanted"; od -c "$wanted" | head -20
        echo "--- got"; od -c "$actual" | head -20
    else
        echo "ok: $name"
    fi
}

finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures case(s) failed"
        exit 1
    fi
    exit 0
}
