#!/bin/sh
# Prepares the example project for `make run`: writes examples/blink/BLINK.PRJ for this
# checkout (a project file holds absolute paths) and, when the program folder has no
# workspace file yet, a VOTRIX.cfg that opens the example.
# Usage: sh tools/prepare-example.sh <program folder, e.g. build/bin>
set -e
bin=${1:-build/bin}
root=$(cd "$(dirname "$0")/.." && pwd)
exec "$bin/ostrel-prepare-example" "$root/examples/blink" "$bin"
