#!/usr/bin/env bash
# Starts the game once for every file under assets/ and every kind of damage
# (the file deleted, emptied, cut at half its size, or replaced by random
# bytes of its size), each time on a fresh copy of the content, never the
# committed files. Each run plays the demo from the menu into the match for a
# bounded number of frames (--fast --no-draw --demo --frames N) with the
# sanitizer build, and must either get through (exit 0) or end with a clear
# code (1, 2 or 3) after a line naming the damaged file; a signal, a hang or
# a sanitizer report fails the sweep. Prints a table of outcomes.
#
#   damaged-content.sh [--sample | --only REGEX] [--frames N] [--binary PATH] [--keep DIR]
#
# --sample sweeps a few files of each kind of content (the quick pass of the
# test command); --only sweeps the files whose path under assets/ matches the
# extended regular expression; --keep DIR keeps the log and the damaged file of every run
# that failed (default build-asan/damaged-content).
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
binary="$root/build-asan/vorlune"
frames=240
sample=0
only=""
keep="$root/build-asan/damaged-content"
while [ $# -gt 0 ]; do
  case "$1" in
    --sample) sample=1 ;;
    --only) only="$2"; shift ;;
    --frames) frames="$2"; shift ;;
    --binary) binary="$2"; shift ;;
    --keep) keep="$2"; shift ;;
    *) echo "usage: damaged-content.sh [--sample | --only REGEX] [--frames N] [--binary PATH] [--keep DIR]" >&2
       exit 2 ;;
  esac
  shift
done
binary="$(cd "$(dirname "$binary")" && pwd)/$(basename "$binary")"
[ -x "$binary" ] || { echo "damaged-content: $binary is missing (build the vorlune target)" >&2; exit 2; }

# One display for the whole sweep.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" bash "${BASH_SOURCE[0]}" \
    $([ $sample -eq 1 ] && echo --sample) ${only:+--only "$only"} --frames "$frames" --binary "$binary" \
    --keep "$keep"
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/vorlune-damaged-XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/pristine" "$work/build" "$keep"
cp -a "$root/assets/." "$work/pristine/"

if [ $sample -eq 1 ]; then
  files=("tilemap/zefMap.tmx" "gui/Menu.txt" "PNG/Player/idle.xml" "tilemap/islands.png" "sfx/Jump 1.wav")
else
  mapfile -t files < <(cd "$work/pristine" && find . -type f | sed 's|^\./||' | LC_ALL=C sort |
    grep -E -- "${only:-.}")
fi

# The sanitizer settings of the test suites (tests/CMakeLists.txt).
preload="$(dirname "$binary")/tests/libvorlune_keep_loaded.so"
run_env=(ALSOFT_DRIVERS=null
  "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:intercept_tls_get_addr=0"
  "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
  "LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0")
[ -f "$preload" ] && run_env+=("LD_PRELOAD=$preload")

damage() {
  local kind="$1" path="$2"
  local size
  size=$(stat -c %s "$path")
  case "$kind" in
    deleted) rm -f "$path" ;;
    emptied) : >"$path" ;;
    half) truncate -s $((size / 2)) "$path" ;;
    random) head -c "$size" /dev/urandom >"$path" ;;
  esac
}

# Prints the outcome of one run; returns 1 when it is a failure.
classify() {
  local code="$1" log="$2" file="$3"
  local named=""
  grep -qF -- "$(basename "$file")" "$log" && named="+line"
  if grep -qE "ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:|SUMMARY: UndefinedBehavior" "$log"; then
    echo "SANITIZER"; return 1
  fi
  case "$code" in
    0) echo "menu$named" ;;
    1 | 2 | 3) if [ -n "$named" ]; then echo "exit$code$named"; else echo "EXIT$code-UNNAMED"; return 1; fi ;;
    124 | 137) echo "HANG"; return 1 ;;
    *) echo "CRASH$code"; return 1 ;;
  esac
}

kinds=(deleted emptied half random)
printf '%-44s %-12s %-12s %-12s %-12s\n' file "${kinds[@]}"
failures=0 runs=0
for file in "${files[@]}"; do
  row=()
  for kind in "${kinds[@]}"; do
    rm -rf "$work/assets"
    cp -a "$work/pristine" "$work/assets"
    damage "$kind" "$work/assets/$file"
    log="$work/run.log"
    (cd "$work/build" && env "${run_env[@]}" VORLUNE_CONTENT="$work/assets" timeout -k 10 300 "$binary" --fast --no-draw --demo \
      --frames "$frames") >"$log" 2>&1
    code=$?
    runs=$((runs + 1))
    if ! outcome=$(classify "$code" "$log" "$file"); then
      failures=$((failures + 1))
      slug="$(echo "$file" | tr '/ ,' '___')-$kind"
      cp "$log" "$keep/$slug.log"
      [ -f "$work/assets/$file" ] && cp "$work/assets/$file" "$keep/$slug.damaged"
    fi
    row+=("$outcome")
  done
  printf '%-44s %-12s %-12s %-12s %-12s\n' "$file" "${row[@]}"
done
echo "damaged-content: $runs runs, $failures failed (menu: got through; exitN: ended with code N;" \
  "+line: a line named the file)"
[ $failures -eq 0 ]
