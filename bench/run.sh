#!/bin/sh
# usage: bench/run.sh BUILD_DIR
"$1/bin/startup_bench" "$1/bin/ostrel" 21
"$1/bin/build_bench" 21
