#!/usr/bin/env bash
# Makes the Debian package from a build tree, with the tree's own CPack
# settings and stripped programs, into a folder, and checks what it holds:
# the program, its manual and its bash completion; the program, unpacked as
# dpkg installs it, is the tree's own zemtra (the same build ID: the same
# code, only stripped) and runs. scripts/package makes the released package
# with it from the tree scripts/test tests; the tree's package_deb test runs
# it too.
# Usage: make_deb.sh <build tree> <output folder> <the tree's zemtra>
# Prints the package's path.
set -euo pipefail
tree=$1 out=$2 program=$3
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$tree" && cpack -G DEB -B "$work/cpack" -D CPACK_STRIP_FILES=ON >/dev/null)
built=$(ls "$work"/cpack/zemtra_*.deb)
deb=$out/$(basename "$built")
mv "$built" "$deb"

for file in ./usr/bin/zemtra ./usr/share/man/man1/zemtra.1 \
    ./usr/share/bash-completion/completions/zemtra ./usr/share/zemtra/report.schema.json; do
    dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -qx "$file" || { echo "$deb lacks $file" >&2; exit 1; }
done

build_id() { # build_id <program>
    readelf -n "$1" | awk '/Build ID:/ { print $3 }'
}
dpkg-deb -x "$deb" "$work/root"
installed=$work/root/usr/bin/zemtra
tested=$(build_id "$program")
if [ -z "$tested" ] || [ "$(build_id "$installed")" != "$tested" ]; then
    echo "the packaged zemtra (build ID $(build_id "$installed")) is not $program (build ID $tested)" >&2
    exit 1
fi
# Stripped, it still starts and answers: a drive that is not there is an error.
status=0
"$installed" "$work/no-drive" >"$work/answer" 2>&1 || status=$?
message=$(tr -d '\r' <"$work/answer")  # the console's lines end in CR LF
if [ "$status" -ne 1 ] || [ "$message" != "Error: Can't read disk TOC." ]; then
    echo "the packaged zemtra answered \"$message\" with status $status for a missing drive" >&2
    exit 1
fi
echo "$deb"
