#!/usr/bin/env bash
# Starts the real program under a real X server on a song, takes a screenshot through the
# script driver and checks that the picture shows a window, not a blank screen.
#   xvfb_screenshot.sh VORLAUNE SONG
set -euo pipefail
program=$1
song=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! command -v xvfb-run >/dev/null; then
  echo "skipped: xvfb-run is not installed (package xvfb)"
  exit 77
fi
printf 'wait 500\nscreenshot %s/shot.png\n' "$work" > "$work/script.txt"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export VORLAUNE_HOME="$work/home" VORLAUNE_AUDIO_DRIVER=none
xvfb-run -a -s "-screen 0 1600x1000x24" "$program" --script "$work/script.txt" "$song"
python3 "$here/png_not_blank.py" "$work/shot.png"
