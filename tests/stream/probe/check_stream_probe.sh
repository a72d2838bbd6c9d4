#!/usr/bin/env bash
# check_stream_probe.sh PROBE [EMULATOR...]
# Runs stream_probe (under the emulator, for a cross-compiled build) without a
# terminal and checks the exact bytes ConsoleStream reads and writes. Output
# goes to files, never pipes: Wine's helper processes keep inherited pipes open.
set -u
probe=$1
shift
# Inside the build tree, so that the emulator finds its Wine prefix.
work=$(mktemp -d "$(dirname "$probe")/stream_probe.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0

run() { # run <input file> <output file> <args...>: in a new session, no terminal
    local in=$1 out=$2
    shift 2
    setsid -w "$@" <"$in" >"$out" 2>"$work/stderr"
}

repeat() { # repeat <count> <char>
    head -c "$1" /dev/zero | tr '\0' "$2"
}

check() { # check <name> <expected file> <args...>
    local name=$1 expected=$2
    shift 2
    if ! run "${input:-/dev/null}" "$work/$name.out" "$@" "$probe" "$name"; then
        echo "FAIL: $name: the probe failed"; cat "$work/stderr"
        failures=$((failures + 1))
    elif ! cmp -s "$expected" "$work/$name.out"; then
        echo "FAIL: $name: output differs from the expected bytes"
        cmp "$expected" "$work/$name.out" | head -5
        echo "expected (start):"; head -c 300 "$expected" | od -c | head -12
        echo "actual (start):"; head -c 300 "$work/$name.out" | od -c | head -12
        failures=$((failures + 1))
    fi
}

# Without a console the stream is neither readable, writable nor open, yet
# its writes still reach standard output.
printf '%s\r\n' canRead=0 canWrite=0 isOpen=0 open=0 canSeek=0 canTell=0 hasSize=0 \
    atEnd=0 isInteractive=1 name=null size=-1 position=-1 seek=-1 reserved=-1 \
    >"$work/answers.expected"
check answers "$work/answers.expected" "$@"

# Every LF goes out as CR LF; the count is what the caller gave.
{
    printf 'a\r\nb\r\r\n=5\r\n'
    printf 'xyz=3\r\n'
    printf '=0\r\n'
    repeat 4095 y; printf '\r\n\r\n=4097\r\n'
    line=$(repeat 99 x)
    for _ in $(seq 90); do printf "%s\r\n" "$line"; done; printf "=9000\r\n"
    printf 'no line feed=12\r\n'
    printf 'nul\0byte=8\r\n'
} >"$work/write.expected"
check write "$work/write.expected" "$@"

# Standard input arrives unchanged in reads of at most 7 bytes; the end of
# the input reads 0.
printf 'first line\nsecond\n\nend without LF' >"$work/echo.in"
{
    printf 'first line\r\nsecond\r\n\r\nend without LF<33,0>'
} >"$work/echo.expected"
input="$work/echo.in" check echo "$work/echo.expected" "$@"

# A write that the system refuses is not reported as written (Linux: a full
# device takes no byte).
if [ $# -eq 0 ] && [ -w /dev/full ]; then
    setsid -w "$probe" full </dev/null >/dev/full 2>"$work/full.err"
    read -r count _ <"$work/full.err"
    if [ "${count:-x}" != 0 ]; then
        echo "FAIL: full: write to a full device reported $(cat "$work/full.err")"
        failures=$((failures + 1))
    fi
fi

[ "$failures" -eq 0 ] && echo "stream_probe: all checks passed"
exit $((failures > 0))
