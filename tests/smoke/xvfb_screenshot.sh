#!/usr/bin/env bash
# Starts the real program under a real X server on a song, takes a screenshot through the
# script driver and checks that the picture shows a window, not a blank screen, and that
# the window manager is given the main window's title as the program sets it.
#   xvfb_screenshot.sh VORLAUNE SONG
set -euo pipefail
program=$1
song=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for tool in xvfb-run xwininfo; do
  if ! command -v $tool >/dev/null; then
    echo "skipped: $tool is not installed (packages xvfb, x11-utils)"
    exit 77
  fi
done
printf 'wait 500\nscreenshot %s/shot.png\nwait 1000\n' "$work" > "$work/script.txt"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export VORLAUNE_HOME="$work/home" VORLAUNE_AUDIO_DRIVER=none
# Run inside the X server: the program, and the titles of its windows while it runs.
cat > "$work/inside.sh" <<'INSIDE'
"$1" --script "$2" "$3" &
program=$!
while kill -0 $program 2>/dev/null; do
  xwininfo -root -tree | grep -o '"Vorlaune[^"]*"' >> "$4/titles.txt" || true
  sleep 0.1
done
wait $program
INSIDE
xvfb-run -a -s "-screen 0 1600x1000x24" bash "$work/inside.sh" "$program" "$work/script.txt" \
    "$song" "$work"
python3 "$here/png_not_blank.py" "$work/shot.png"
if ! grep -qxF "\"Vorlaune - [$song]\"" "$work/titles.txt"; then
  echo "FAILED: no window is titled \"Vorlaune - [$song]\"; the titles are:"
  cat "$work/titles.txt"
  exit 1
fi
