#!/usr/bin/env bash
# Installs a build tree into a temporary prefix, then builds the example
# consumer against it through the CMake package (and, natively, through
# pkg-config) and runs it.
# Usage: consumer_test.sh <build tree> <example dir> <expected output file>
#        [toolchain file] [emulator]
set -euo pipefail
tree=$1 example=$2 expected=$3 toolchain=${4:-} emulator=${5:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$tree" --prefix "$prefix" >/dev/null
# The public headers stand alone: none reaches for the private platform layer.
if grep -rn '#include "platform/' "$prefix/include"; then
    echo "an installed header includes a platform header" >&2
    exit 1
fi
args=(-DkwCore_DIR="$prefix/lib/cmake/kwCore" -DCMAKE_BUILD_TYPE=Release)
[ -n "$toolchain" ] && args+=(-DCMAKE_TOOLCHAIN_FILE="$toolchain")
cmake -S "$example" -B "$work/build" "${args[@]}" >/dev/null
cmake --build "$work/build" >/dev/null

program=$(find "$work/build" -maxdepth 1 -name 'kwcore_consumer*' -type f -perm -u+x | head -n 1)
# Windows output reaches us with CR LF line ends; Wine runs in the tree's prefix.
[ -n "$emulator" ] && export WINEPREFIX=$tree/wineprefix
$emulator "$program" | tr -d '\r' >"$work/cmake.out"
diff -u "$expected" "$work/cmake.out"

if [ -z "$toolchain" ]; then
    export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
    # shellcheck disable=SC2046
    c++ -o "$work/pc_consumer" "$example/main.cpp" $(pkg-config --cflags --libs kwcore)
    "$work/pc_consumer" >"$work/pc.out"
    diff -u "$expected" "$work/pc.out"
fi
echo "consumer built and ran against the installed kwCore"
