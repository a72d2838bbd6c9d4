#!/usr/bin/env bash
# check_text_probe.sh PROBE [EMULATOR...]
# Runs text_probe (under the emulator, for a cross-compiled build) and checks
# the exact bytes it writes to standard output. Output goes to files, and to
# a pipe only where the reader stops at a known count: Wine's helper
# processes keep inherited pipes open, so the end of the input never comes.
set -u
probe=$1
shift
# Inside the build tree, so that a copy of the probe finds its Wine prefix.
work=$(mktemp -d "$(dirname "$probe")/text_probe.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0

run() { # run <output file> <probe> <args...>
    local out=$1
    shift
    "$@" >"$out" 2>"$work/stderr" </dev/null
}

repeat() { # repeat <count> <char>
    head -c "$1" /dev/zero | tr '\0' "$2"
}

compare() { # compare <name> <expected file> <actual file>
    if ! cmp -s "$2" "$3"; then
        echo "FAIL: $1: output differs from the expected bytes"
        cmp "$2" "$3" | head -5
        echo "expected (start):"; head -c 200 "$2" | od -c | head -10
        echo "actual (start):"; head -c 200 "$3" | od -c | head -10
        failures=$((failures + 1))
    fi
}

# printFormatted: every LF goes out as CR LF; text stops at the first NUL;
# the largest text is 1,048,575 characters.
if run "$work/print.out" "$@" "$probe" print; then
    {
        printf '<tracks>Tracks: 3\r\r\n'
        printf '<lines>a\r\nb\r\n\r\nc'
        printf '<255>'; repeat 255 a
        printf '<256>'; repeat 256 b
        printf '<long-lines>'; repeat 300 c; printf '\r\r\n'; repeat 10 d; printf '\r\n'
        printf '<nul>ab'
        printf '<empty>'
        printf '<huge>'; repeat 1048575 e
        printf '<end>'
    } >"$work/print.expected"
    compare print "$work/print.expected" "$work/print.out"
else
    echo "FAIL: print: the probe failed"; cat "$work/stderr"
    failures=$((failures + 1))
fi

# The untranslated write: its bytes as given, the text around it translated.
if run "$work/raw.out" "$@" "$probe" raw; then
    {
        printf '<raw>a\r\nb\nc\r\n\0de\r\n<big>'
        head -c 100000 /dev/zero | tr '\0' '\n'
        printf '<end>\r\n'
    } >"$work/raw.expected"
    compare raw "$work/raw.expected" "$work/raw.out"
else
    echo "FAIL: raw: the probe failed"; cat "$work/stderr"
    failures=$((failures + 1))
fi

# CommandLine from the process: the same elements on every platform.
expected_args() { # expected_args <program name>
    printf '[%s]\r\n' args -toc 'a b' 'x yA' "$(printf 'a\tb')" '' D:
    printf 'name=%s\r\nseparator=yes\r\n' "$1"
}
arguments=(-toc 'a b' "'x\\_y\\x41'" "'a\\tb'" '' D:)
if run "$work/args.out" "$@" "$probe" args "${arguments[@]}"; then
    expected_args "$(basename "$probe")" >"$work/args.expected"
    compare args "$work/args.expected" "$work/args.out"
else
    echo "FAIL: args: the probe failed"; cat "$work/stderr"
    failures=$((failures + 1))
fi

# Long texts printed from two threads at once reach the output whole: every
# line is one thread's, and every text's 640 lines stand together. The
# output is a pipe that is not read until the second thread has begun its
# first text while the first thread's second text is stalled in the full
# pipe (the probe says "overlap" on standard error then), so the two always
# write at once.
threadBytes=$((2 * 30 * 640 * 101))
stallingReader() { # reads standard input into $work/threads.out once the probe says "overlap"
    local waited=0
    while ! grep -q overlap "$work/stderr" 2>/dev/null && [ $waited -lt 3000 ]; do
        sleep 0.01
        waited=$((waited + 1))
    done
    sleep 0.2
    timeout 120 head -c "$threadBytes" >"$work/threads.out"
}
threadsRun() {
    : >"$work/stderr"
    "$@" "$probe" threads 2>"$work/stderr" </dev/null | stallingReader
    return "${PIPESTATUS[0]}"
}
if threadsRun "$@"; then
    runs=$(tr -d '\r' <"$work/threads.out" | uniq -c | awk '{ print $1 % 640, length($2) }' | sort -u)
    lines=$(grep -cE $'^(A{99}|B{99})\r$' "$work/threads.out")
    if [ "$lines" != 38400 ] || [ "$runs" != "0 99" ]; then
        echo "FAIL: threads: texts interleaved ($lines whole lines of 38400)"
        failures=$((failures + 1))
    fi
else
    echo "FAIL: threads: the probe failed"; cat "$work/stderr"
    failures=$((failures + 1))
fi

# A program file deeper than the 260-byte path buffer still runs cleanly.
deep="$work/$(repeat 120 d)/$(repeat 120 e)/$(repeat 40 f)"
mkdir -p "$deep"
cp "$probe" "$deep/"
if ! run "$work/deep.out" "$@" "$deep/$(basename "$probe")" args -toc; then
    echo "FAIL: deep: the probe failed from a path of ${#deep} bytes"; cat "$work/stderr"
    failures=$((failures + 1))
elif ! grep -q -- '^\[-toc\]' "$work/deep.out"; then
    echo "FAIL: deep: arguments lost"; od -c "$work/deep.out" | head
    failures=$((failures + 1))
fi

[ "$failures" -eq 0 ] && echo "text_probe: all checks passed"
exit $((failures > 0))
