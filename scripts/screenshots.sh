#!/usr/bin/env bash
# Draws the README's pictures from the release build, as a user would see
# the windows: docs/setup.png (the setup window with the three samples chosen
# and a phrase typed) and docs/result.png (the result window after 検索開始(S),
# with the viewer of one file opened over it by 全文表示(A)). Runs under Xvfb
# with openbox drawing the captions; xdotool clicks and types. Not part of
# `make test`: run it again when the windows change.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" packages-screenshots.txt
make -C "$root" build >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/norvane-screenshots-XXXXXX")
# The samples under a short path that says nothing of this machine.
samples=${TMPDIR:-/tmp}/norvane/samples
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work" "$samples"
}
trap cleanup EXIT

rm -rf "$samples" && mkdir -p "$samples" && cp "$root"/samples/*.txt "$samples/"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { cat "$work/xvfb.log" >&2; echo "screenshots.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(<"$work/display")
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
(cd "$samples" && exec "$root/build/release/ui/Norvane") >"$work/norvane.log" 2>&1 &
pids+=($!)

# The window whose title starts with $1, once it shows.
window() { timeout 30 xdotool search --sync --onlyvisible --name "^$1" | head -n 1; }
# "X Y W H" of a window's client area on screen; with a second argument, of
# its frame as the window manager draws it (_NET_FRAME_EXTENTS).
geometry() {
  local x y w h left=0 right=0 top=0 bottom=0
  read -r x y w h < <(xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                                              /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}')
  if [[ ${2:-} == frame ]]; then
    IFS=', ' read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //')
  fi
  echo $((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))
}
# A click at X Y of a window's client area. Clicks further apart than the
# double-click time, so each is a click of its own.
click() {
  local x y
  read -r x y _ _ < <(geometry "$1")
  xdotool mousemove $((x + $2)) $((y + $3)) click 1
  sleep 0.8
}
# Captures the screen cut to the frames of the given windows, in few colours.
shot() {
  local out=$1 x0=100000 y0=100000 x1=0 y1=0 x y w h
  shift
  for id in "$@"; do
    read -r x y w h < <(geometry "$id" frame)
    ((x < x0)) && x0=$x; ((y < y0)) && y0=$y
    ((x + w > x1)) && x1=$((x + w)); ((y + h > y1)) && y1=$((y + h))
  done
  xdotool mousemove 1023 767
  sleep 1
  import -window root -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage "$work/shot.png"
  pngquant --force --quality 40-80 --speed 1 --output "$root/docs/$out" "$work/shot.png"
  echo "docs/$out: $(stat -c %s "$root/docs/$out") bytes"
}

# The places clicked are fixed: the windows lay out their controls at fixed
# sizes. The setup window: the three samples clicked into the grid (rows of
# the file list), the phrase typed into the box at the bottom.
setup=$(window 'グローバル検索')
sleep 1
for row in 154 167 180; do click "$setup" 42 "$row"; done
click "$setup" 382 412
xdotool type --delay 60 '港町'
shot setup.png "$setup"

# 検索開始(S); then tabi.txt's header line (the listing's ninth line)
# triple-clicked, and 全文表示(A).
xdotool key alt+s
result=$(window '検索結果')
sleep 1
read -r x y _ _ < <(geometry "$result")
xdotool mousemove $((x + 77)) $((y + 161)) click --repeat 3 --delay 80 1
sleep 0.5
xdotool key alt+a
viewer=$(window '全文表示')
shot result.png "$result" "$viewer"
