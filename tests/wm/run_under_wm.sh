#!/usr/bin/env bash
# Runs one test program on a private X server under a real window manager (Xvfb and openbox), on
# Qt's xcb platform: where a window lands and which window is on top depend on the frames and the
# stacking a window manager adds, which the offscreen platform does not have.
#   run_under_wm.sh PROGRAM [ARGUMENTS...]
# Exits 77, which CTest reports as skipped, only when the server or the window manager cannot start.
set -u

skip() {
  echo "SKIPPED: $*" >&2
  exit 77
}

for tool in Xvfb openbox xprop; do
  command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (scripts/setup.sh installs it)"
done

work=$(mktemp -d)
server=
manager=
finish() {
  [ -n "$manager" ] && kill "$manager" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"

# The server picks a free display itself and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/server.log" &
server=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.1
done
[ -s "$work/display" ] || skip "Xvfb did not start: $(tail -n 3 "$work/server.log")"
export DISPLAY=":$(head -n 1 "$work/display")"

HOME="$work" openbox --sm-disable >"$work/manager.log" 2>&1 &
manager=$!
# The manager is in charge once it names its check window on the root window.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  kill -0 "$manager" 2>/dev/null || break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
  skip "openbox did not start: $(tail -n 3 "$work/manager.log")"

# Under LeakSanitizer: what libdbus keeps for the process's life is not ours to free.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp"
QT_QPA_PLATFORM=xcb "$@"
