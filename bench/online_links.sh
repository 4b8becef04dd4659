#!/usr/bin/env bash
# Online play's figures per link profile: two games on 127.0.0.1, the
# computer playing on each side, at the real pace of 60 frames a second,
# without drawing, for about a minute (the guest leaves after 3600 passes of
# its loop). For each profile it prints the input delay chosen, the round
# trip, the bytes a second each way, the frames a minute each side spent
# waiting for the other's input and fell behind the 60-a-second clock, and
# the CPU time online play adds to a frame on each side (its own code:
# network, inputs, checksums; measured as the thread's CPU time). Falling
# behind the clock also tells how busy the machine was: run it on a quiet one.
#
#   bash bench/online_links.sh [BUILD_DIR]      (default: build)
#
# Needs a display: without DISPLAY it starts its own Xvfb. Takes about a
# minute per profile.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 640x480x24 -noreset" bash "$0" "$build"
fi
export ALSOFT_DRIVERS=null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

profiles=("none" "delay=50,jitter=10" "delay=120,loss=5,duplicate=1")

# A figure from an "online figures:" line: the number after the word.
figure() { grep -a "online figures:" "$1" | tr '\r' '\n' | grep "online figures" | tail -1 | sed -E "s/.*$2 ([0-9.]+).*/\1/"; }

printf '%-30s %5s %6s %12s %12s %12s %12s %12s %12s %12s %12s\n' profile delay "rtt ms" "host out B/s" \
  "guest out B/s" "host wait/min" "guest wait/min" "host behind/min" "guest behind/min" "host CPU us" \
  "guest CPU us"
for profile in "${profiles[@]}"; do
  sim=()
  [ "$profile" = none ] || sim=(--net-sim "$profile,seed=1")
  guest_sim=()
  [ "$profile" = none ] || guest_sim=(--net-sim "$profile,seed=2")
  "$build/vorlune" --host 127.0.0.1:0 --demo --no-draw --lives 1 --seed 2 \
    "${sim[@]}" > "$work/host.txt" 2>&1 &
  host=$!
  port=""
  for _ in $(seq 100); do
    port=$(grep -ao "hosting on port [0-9]*" "$work/host.txt" | grep -o "[0-9]*$")
    [ -n "$port" ] && break
    sleep 0.1
  done
  if [ -z "$port" ]; then
    echo "$profile: the host did not start"; cat "$work/host.txt"; kill "$host"; continue
  fi
  "$build/vorlune" --join "127.0.0.1:$port" --demo --no-draw --frames 3600 "${guest_sim[@]}" > "$work/guest.txt" 2>&1
  wait "$host"
  if ! grep -aq "online figures" "$work/host.txt"; then
    echo "$profile: no figures"; tail -5 "$work/host.txt" "$work/guest.txt"; continue
  fi
  printf '%-30s %5s %6s %12s %12s %12s %12s %12s %12s %12s %12s\n' "$profile" \
    "$(figure "$work/host.txt" "input delay")" "$(figure "$work/host.txt" "round trip")" \
    "$(figure "$work/host.txt" "sent")" "$(figure "$work/guest.txt" "sent")" \
    "$(figure "$work/host.txt" "waiting")" "$(figure "$work/guest.txt" "waiting")" \
    "$(figure "$work/host.txt" "behind the clock")" "$(figure "$work/guest.txt" "behind the clock")" \
    "$(figure "$work/host.txt" "own CPU")" "$(figure "$work/guest.txt" "own CPU")"
done
