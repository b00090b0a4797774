#!/usr/bin/env bash
# Makes docs/window.png for the README: the window under a private Xvfb with a workbook loaded by
# typing its path and pressing 显示表名, two sheets checked. Needs Xvfb, xdotool and ImageMagick.
#   readme-screenshot.sh PATH/TO/tallowind WORKBOOK
set -euo pipefail
binary=$(realpath "$1")
source_book=$(realpath "$2")
cd "$(dirname "$0")/.."

display=97
while [ -e "/tmp/.X${display}-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
state=$(mktemp -d)
runtime=$(mktemp -d)
trap 'kill $tool 2>/dev/null; wait $tool 2>/dev/null; kill $xvfb 2>/dev/null; rm -rf "$state" "$runtime"' EXIT
export DISPLAY=":$display" TALLOWIND_SPOOLER_DIR=$state XDG_RUNTIME_DIR=$runtime
mkdir -p "$state/报表"
workbook="$state/报表/$(basename "$source_book")"
cp "$source_book" "$workbook"
sleep 1
"$binary" &
tool=$!
for _ in $(seq 50); do
  window=$(xdotool search --name "Tallowind" 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.2
done
sleep 0.5
# The window's client area starts at its design position, 50, 50 (Xvfb has no frames).
click() { xdotool mousemove $((50 + $1)) $((50 + $2)) click 1; sleep 0.3; }
click 100 261                      # 编辑框1
xdotool type --delay 5 "$workbook"
click 363 96                       # 按钮2 显示表名
sleep 2
click 30 102                       # the first item's check box
click 30 134                       # the third item's check box
click 80 134                       # and the third item made current
import -window root -crop 414x318+50+50 docs/window.png
echo "$PWD/docs/window.png"
