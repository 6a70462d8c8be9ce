#!/bin/sh
# Prepares the example project for `make run`: writes examples/blink/BLINK.PRJ for this
# checkout (a project file holds absolute paths) and, when the program folder has no
# workspace file yet, a VOTRIX.cfg that opens the example.
# Usage: sh tools/prepare-example.sh <build folder, e.g. build>
# (the program folder is <build folder>/bin; the helper is built beside its sources' build)
set -e
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
exec "$build/tools/ostrelcc/ostrel-prepare-example" "$root/examples/blink" "$build/bin"
