#!/usr/bin/env bash
# The long soak, by hand (not part of the test run): the computer plays both
# players match after match for 30 minutes of game time (108000 fixed steps
# at 60 per second), run back to back without drawing, and prints each game
# minute the counts of game objects, bodies, joints and particles and the
# resident memory, then its verdict. Exits non-zero when the soak found
# something (a place that is not a number, or anything left over from one
# match to the next).
#
#   bash scripts/soak.sh [FRAMES]      (default 108000)
#
# Builds the game in Release first; without a display it runs under Xvfb.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
frames="${1:-108000}"

bash "$root/scripts/setup.sh" >/dev/null
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" --target vorlune -j "$(nproc)" >/dev/null

command=("$root/build/vorlune" --soak "$frames" --fast --no-draw)
if [ -z "${DISPLAY:-}" ]; then
  command=(xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" "${command[@]}")
fi
start=$(date +%s)
status=0
# Only the soak's own lines: the frame-rate line and the like are left out.
ALSOFT_DRIVERS=null "${command[@]}" | grep -E '^(soak|Soak)' || status=$?
echo "soak: $(( $(date +%s) - start )) s of wall time"
exit "$status"
