#!/usr/bin/env bash
# Sets everything up, builds the game in Release and starts it; arguments go
# to the game (--demo, --player2 computer, --fast, ...).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Without a display there is nothing to play on: say so before any work.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "vorlune: no display (DISPLAY is not set): run this on a desktop session, or watch the computer play itself: xvfb-run -a -s \"-screen 0 1920x1080x24\" bash scripts/play.sh --demo --fast --no-draw --shots demo-shots"
  exit 1
fi

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" --target vorlune -j "$(nproc)"

# A display that is named but cannot be reached would make the window
# library abort; xdpyinfo (x11-utils) tells first.
if [ -n "${DISPLAY:-}" ] && command -v xdpyinfo >/dev/null && ! xdpyinfo >/dev/null 2>&1; then
  echo "vorlune: cannot open the display $DISPLAY: check that the X server runs and allows this user"
  exit 1
fi

# The game finds its content from its own place: paths on the command line
# (--shots, --record) stay relative to the folder this was started from.
exec "$root/build/vorlune" "$@"
