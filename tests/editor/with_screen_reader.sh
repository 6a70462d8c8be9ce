#!/bin/sh
# usage: with_screen_reader.sh PROGRAM [ARGS...]
# Runs PROGRAM on an Xvfb display of its own with the accessibility bus up and a screen reader
# announced on it, as a desktop with one running has them; to be started by dbus-run-session.
# With OSTREL_READER_STUB set (the screen_reader_stub program), that stub listens on the bus
# as a screen reader does and writes what it hears to OSTREL_READER_LOG.
set -e
/usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=$!
reader=
trap 'kill $launcher $reader 2>/dev/null || true' EXIT
for attempt in 1 2 3 4 5 6 7 8 9 10; do
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status \
    string:ScreenReaderEnabled variant:boolean:true >/dev/null 2>&1 && break
  sleep 0.5
done
if [ -n "$OSTREL_READER_STUB" ]; then
  rm -f "$OSTREL_READER_LOG"
  "$OSTREL_READER_STUB" "$OSTREL_READER_LOG" &
  reader=$!
  # It creates the log once it listens.
  for attempt in $(seq 40); do
    [ -e "$OSTREL_READER_LOG" ] && break
    sleep 0.25
  done
fi
OSTREL_SCREEN_READER=1 QT_QPA_PLATFORM=xcb xvfb-run -a "$@"
