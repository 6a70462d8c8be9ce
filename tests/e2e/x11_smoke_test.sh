#!/bin/sh
# Smoke test of the real program on a real X server: click into the source window, copy and
# paste with the keys, type, save with Ctrl+S, and check the bytes on disk.
# Usage: x11_smoke_test.sh <program folder holding ostrel and version.txt>
# Runs itself again under xvfb-run; when no X server can be started the test fails.
set -eu
bin=$1

if [ -z "${OSTREL_SMOKE_UNDER_X:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (package xvfb)"; exit 1; }
  command -v xdotool >/dev/null || { echo "xdotool is missing (package xdotool)"; exit 1; }
  OSTREL_SMOKE_UNDER_X=1 exec xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" "$@"
fi

work=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A program folder of its own, so that the workspace file of the build tree stays untouched,
# and a private configuration folder.
mkdir -p "$work/bin" "$work/home"
cp "$bin/ostrel" "$bin/version.txt" "$work/bin/"
printf 'int a;\r\n' > "$work/SMOKE.C"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=xcb

"$work/bin/ostrel" "$work/SMOKE.C" &
pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Ostrel - SMOKE\.C$' | head -n 1)
[ -n "$window" ] || { echo "the main window did not appear"; exit 1; }
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"

# Click into the text of the source window (it fills most of the area below the toolbar).
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove --window "$window" 200 200 click 1
sleep 0.3
xdotool key --delay 80 ctrl+Home shift+End ctrl+c ctrl+End ctrl+v Return
xdotool type --delay 60 '// ok'
xdotool key --delay 80 ctrl+s

expected=$(printf 'int a;\r\nint a;\r\n// ok' | od -An -tx1)
for _ in $(seq 1 50); do
  actual=$(od -An -tx1 "$work/SMOKE.C")
  [ "$actual" = "$expected" ] && { echo "saved as expected"; exit 0; }
  sleep 0.2
done
echo "SMOKE.C holds:"; od -c "$work/SMOKE.C"
exit 1
