#!/usr/bin/env bash
# run_on_processor_model.sh MODEL PROGRAM [ARGS...]
# Runs PROGRAM as processor MODEL under user-mode QEMU (qemu-x86_64 -cpu
# MODEL). Exits 77, which CTest counts as skipped, where qemu-x86_64 is
# missing.
set -u
model=$1
shift
if ! command -v qemu-x86_64 >/dev/null; then
    echo "qemu-x86_64 is missing (Debian package qemu-user): no run as a $model processor"
    exit 77
fi
# QEMU names every feature of the model that it does not emulate and leaves
# out; the tests print the features they do see when they fail.
qemu-x86_64 -cpu "$model" "$@" 2> >(grep -v "TCG doesn't support requested feature" >&2)
