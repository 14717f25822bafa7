#!/usr/bin/env bash
# Makes the pictures of the help pages (data/help/images/*.png) again: runs build/bin/quillsong
# on a fresh profile under Xvfb with openbox, drives it with xdotool and saves each window with
# ImageMagick's import. Run it after `make build` whenever the windows change.
# Needs: Xvfb, openbox, xdotool, imagemagick, pulseaudio (for the null sink).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$root/build/bin/quillsong
out=$root/data/help/images
[[ -x "$program" ]] || { echo "error: $program is missing: run make build" >&2; exit 1; }
mkdir -p "$out"

# A fixed, short folder: the File Options sheet shows the output folder inside it.
work=/tmp/quillsong-help
rm -rf "$work"
pids=()
cleanup() {
  # The program first, the X server last.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A fresh profile, so the pictures show the program as a new user sees it.
export HOME=$work XDG_CONFIG_HOME=$work/.config XDG_DATA_HOME=$work/.local/share
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
source "$root/scripts/audio-server.sh"

# A free display number.
number=150
while [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]]; do number=$((number + 1)); done
export DISPLAY=:$number
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
Xvfb "$DISPLAY" -screen 0 1280x900x24 -nolisten tcp &
pids+=($!)

# Waits up to $2 seconds (default 30) for the command $1 to succeed.
waitFor() {
  local tries=$(( ${2:-30} * 10 ))
  while ! eval "$1" >/dev/null 2>&1; do
    tries=$((tries - 1))
    if ((tries <= 0)); then echo "error: timed out waiting for: $1" >&2; exit 1; fi
    sleep 0.1
  done
}
waitFor "xdpyinfo"
openbox &
pids+=($!)
waitFor "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" 60

"$program" &
pid=$!
pids+=($pid)
waitFor "xdotool search --name '^Quillsong MP3' | head -1 | grep -q ." 60
waitFor "grep -q 'Exiting FormShow' '$XDG_DATA_HOME/quillsong/quillsong.dbg'" 60
# The splash has gone when the main window is the program's only window on the screen.
waitFor "[[ \$(xdotool search --onlyvisible --pid $pid | wc -l) == 1 ]]" 60
window=$(xdotool search --name '^Quillsong MP3' | head -1)
xdotool windowactivate --sync "$window"
xdotool windowsize --sync "$window" 820 560

# Saves the window $1 as $2.png, at most 1000 pixels wide; $3 crops it (WxH+X+Y).
shot() {
  sleep 0.5  # lets the window finish drawing after the last click; nothing to wait on
  local crop=()
  [[ -n "${3:-}" ]] && crop=(-crop "$3" +repage)
  import -window "$1" "${crop[@]}" -resize '1000x>' -strip "png:$out/$2.png"
  echo "$out/$2.png"
}
# Clicks at x y inside the main window.
click() {
  xdotool mousemove --window "$window" "$1" "$2" click 1
}
left=287x196+0+80     # the options area: the mode's sheet
right=532x196+288+80  # the options area: the tabbed sheets

shot "$window" main-window
click 260 50  # Aloud: the spoken word is highlighted
sleep 4       # a few words into the article
shot "$window" main-window-reading
click 459 50  # Stop
click 330 97
shot "$window" sheet-clipboard "$right"
click 432 97
click 309 166  # opens the Flite voices
click 380 182  # selects Flite kal
shot "$window" sheet-voices "$right"
click 541 97
shot "$window" sheet-fileoptions "$right"
click 614 97
shot "$window" sheet-misc "$right"
shot "$window" sheet-single "$left"
click 80 50  # Multi
shot "$window" main-window-multi
shot "$window" sheet-multi "$left"
click 520 50  # Options: the area is hidden
shot "$window" main-window-plain
