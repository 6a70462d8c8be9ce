#!/bin/sh
# usage: bench/run.sh BUILD_DIR [INSTALLED_PROGRAM]
# Times the build tree's program and, when given, an installed one, then editing a 10 MB file,
# Compile's own overhead and snapshots; under Xvfb when there is no display and xvfb-run is at
# hand (offscreen otherwise).
set -e
build=$1
x() {
  if [ -z "$DISPLAY" ] && command -v xvfb-run >/dev/null; then
    xvfb-run -a "$@"
  else
    "$@"
  fi
}
echo "== build tree: $build/bin/ostrel =="
x "$build/bench/startup_bench" "$build/bin/ostrel" 21
if [ -n "$2" ]; then
  echo "== installed: $2 =="
  x "$build/bench/startup_bench" "$2" 21
fi
echo "== a 10 MB source file =="
large=$(mktemp -d)/LARGE.C
"$build/bench/editor_bench" --write "$large"
x "$build/bench/startup_bench" "$build/bin/ostrel" 7 "$large"
x "$build/bench/editor_bench" "$large"
if command -v dbus-run-session >/dev/null && [ -x /usr/libexec/at-spi-bus-launcher ]; then
  echo "== the same edits with a screen reader listening on the accessibility bus =="
  OSTREL_READER_STUB="$build/bench/screen_reader_stub" OSTREL_READER_LOG="$(dirname "$large")/reader.log" \
    dbus-run-session -- sh "$(dirname "$0")/../tests/editor/with_screen_reader.sh" \
    "$build/bench/editor_bench" "$large" 2>&1 | grep -v -e dbus-daemon -e SpiRegistry -e XDG_RUNTIME
fi
rm -rf "$(dirname "$large")"
echo "== Compile (a 30 s compile is watched for 25 s, then cancelled) and snapshots =="
"$build/bench/build_bench" 21
"$build/bench/snapshot_bench" 21
echo "== the compiler program on a project of 20 sources =="
"$build/bench/ostrelcc_bench" "$build/bin/OSTREL.EXE" 11
echo "== serial monitor: 1 MB/s through a pseudo-terminal for a minute =="
"$build/bench/serial_bench" 60
