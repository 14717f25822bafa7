#!/usr/bin/env bash
# make run: install, build, and start Quillsong MP3; without a display under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
source scripts/audio-server.sh
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display: starting Quillsong MP3 under Xvfb (screen :99)."
  export DISPLAY=:99
  if ! [[ -e /tmp/.X11-unix/X99 ]]; then
    Xvfb :99 -screen 0 1280x800x24 -nolisten tcp >/tmp/quillsong-xvfb.log 2>&1 &
    for _ in $(seq 1 50); do
      [[ -e /tmp/.X11-unix/X99 ]] && break
      sleep 0.1
    done
  fi
fi
exec build/bin/quillsong "$@"
