#!/bin/sh
# usage: bench/run.sh BUILD_DIR [INSTALLED_PROGRAM]
# Times the build tree's program and, when given, an installed one; under Xvfb when there is
# no display and xvfb-run is at hand (offscreen otherwise).
build=$1
run() {
  if [ -z "$DISPLAY" ] && command -v xvfb-run >/dev/null; then
    xvfb-run -a "$build/bench/startup_bench" "$1" 21
  else
    "$build/bench/startup_bench" "$1" 21
  fi
}
echo "== build tree: $build/bin/ostrel =="
run "$build/bin/ostrel"
if [ -n "$2" ]; then
  echo "== installed: $2 =="
  run "$2"
fi
