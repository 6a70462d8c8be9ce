#!/bin/sh
# usage: with_screen_reader.sh PROGRAM [ARGS...]
# Runs PROGRAM on an Xvfb display of its own with the accessibility bus up and a screen reader
# announced on it, as a desktop with one running has them; to be started by dbus-run-session.
set -e
/usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=$!
trap 'kill $launcher 2>/dev/null || true' EXIT
for attempt in 1 2 3 4 5 6 7 8 9 10; do
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status \
    string:ScreenReaderEnabled variant:boolean:true >/dev/null 2>&1 && break
  sleep 0.5
done
OSTREL_SCREEN_READER=1 QT_QPA_PLATFORM=xcb xvfb-run -a "$@"
