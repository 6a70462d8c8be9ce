#!/bin/sh
# usage: bench/run.sh BUILD_DIR
set -e
"$1/bin/startup_bench" "$1/bin/ostrel" 21
large=$(mktemp -d)/LARGE.C
"$1/bin/editor_bench" --write "$large"
"$1/bin/startup_bench" "$1/bin/ostrel" 7 "$large"
"$1/bin/editor_bench" "$large"
rm -rf "$(dirname "$large")"
"$1/bin/build_bench" 21
"$1/bin/snapshot_bench" 21
