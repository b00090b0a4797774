#!/usr/bin/env bash
# Shows the window program built at the given path. On a display it just runs there; with none it
# runs under a private Xvfb, screenshots the screen once the window is mapped, prints the PNG's
# absolute path, then ends the program and the server.
#   run-window.sh PATH/TO/tallowind [SCREENSHOT.png]
set -euo pipefail

if [ $# -lt 1 ] || [ ! -x "$1" ]; then
  echo "usage: $0 PATH/TO/tallowind [SCREENSHOT.png]" >&2
  exit 2
fi
binary=$(realpath "$1")

if [ -n "${DISPLAY:-}" ]; then
  exec "$binary"
fi

shot=$(realpath -m "${2:-$(dirname "$binary")/tallowind-window.png}")

# The first display number from 99 up with neither a lock file nor a socket.
display=99
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
  display=$((display + 1))
done

xvfb_pid=
tool_pid=
runtime_dir=
cleanup() {
  if [ -n "$tool_pid" ] && kill -0 "$tool_pid" 2>/dev/null; then
    kill -TERM "$tool_pid" 2>/dev/null || true
    wait "$tool_pid" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
    kill -TERM "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  if [ -n "$runtime_dir" ]; then
    rm -rf "$runtime_dir"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"

# Wait up to 10 s for the server to answer.
for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb did not start on $DISPLAY" >&2; exit 1; }
  sleep 0.1
done
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb on $DISPLAY does not answer" >&2; exit 1; }

# Qt wants a private runtime folder; a fresh 0700 one when the session has none.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  runtime_dir=$(mktemp -d)
  export XDG_RUNTIME_DIR=$runtime_dir
fi

QT_QPA_PLATFORM=xcb "$binary" &
tool_pid=$!

# Wait up to 20 s for a mapped window titled Tallowind.
mapped=false
for _ in $(seq 200); do
  if xwininfo -root -tree 2>/dev/null | grep -q '"Tallowind'; then
    mapped=true
    break
  fi
  kill -0 "$tool_pid" 2>/dev/null || { echo "tallowind ended before its window showed" >&2; exit 1; }
  sleep 0.1
done
$mapped || { echo "no Tallowind window appeared on $DISPLAY" >&2; exit 1; }

sleep 1  # mapped is not yet painted
import -window root "$shot"
echo "$shot"
