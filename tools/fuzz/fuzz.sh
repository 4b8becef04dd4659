#!/usr/bin/env bash
# The content readers' libFuzzer harnesses (tools/fuzz/*.fuzz.cpp).
#
#   fuzz.sh build                    builds them into build-fuzz/ with clang
#   fuzz.sh regress                  runs each over its committed corpus once
#                                    (seconds; part of scripts/test.sh, which
#                                    takes the harnesses of its sanitized
#                                    test build, build-asan/)
#   fuzz.sh campaign SECONDS [NAME]  fuzzes each harness (or the named ones) in
#                                    turn for SECONDS, or 10 million runs if that
#                                    comes first, and prints a table
#
# Campaigns run at the lowest priority, one harness at a time, on a working
# corpus in build-fuzz/corpus/NAME that starts from the committed seeds in
# tools/fuzz/corpus/NAME; crashes, hangs and sanitizer reports are kept in
# build-fuzz/artifacts/NAME. Harnesses that draw need an X display: without
# DISPLAY the script starts its own Xvfb. FUZZ_BUILD_DIR names another build
# tree configured with -DVORLUNE_FUZZ=ON to take the harnesses from.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
here="$root/tools/fuzz"
out="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
harnesses=(tmx map atlas form replay net)

die() { echo "fuzz: $*" >&2; exit 1; }

build() {
  command -v clang++ >/dev/null || die "clang++ is missing (scripts/setup.sh installs it)"
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
  local targets=()
  for name in "${harnesses[@]}"; do targets+=("fuzz_$name"); done
  { cmake -S "$root" -B "$out" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DVORLUNE_FUZZ=ON -DVORLUNE_BUILD_TESTS=OFF -DVORLUNE_BUILD_BENCH=OFF &&
    cmake --build "$out" -j "${FUZZ_JOBS:-2}" --target "${targets[@]}"; } >"$out.log" 2>&1 ||
    { tail -n 40 "$out.log"; die "build failed (full log: $out.log)"; }
}

# Runs the rest of the line with a display, starting Xvfb when there is none.
with_display() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 640x480x24 -noreset" "$@"
  fi
}

# Sanitizer settings of every harness run: Mesa's driver keeps a few blocks
# to the end of the process (see tests/lsan.supp), and, as in the test suites,
# the runtime keeps no record of dynamic thread-local blocks, whose stale
# entries (Mesa's and OpenAL's threads) made the leak checker die instead of
# reporting.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_stack_use_after_return=1:strict_string_checks=1:intercept_tls_get_addr=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}"
export ALSOFT_DRIVERS=null

regress() {
  local status=0
  for name in "${harnesses[@]}"; do
    local binary="$out/fuzz_$name"
    [ -x "$binary" ] || die "$binary is missing: run fuzz.sh build"
    local log="$out/regress-$name.log"
    local count
    count=$(find "$here/corpus/$name" -type f | wc -l)
    # The timeout is generous for a loaded machine; campaigns hold inputs to 1 s.
    if with_display "$binary" -runs=0 -timeout=10 -rss_limit_mb=2048 -close_fd_mask=1 \
         "$here/corpus/$name" >"$log" 2>&1; then
      echo "fuzz regress: $name: $count inputs passed"
    else
      tail -n 30 "$log"
      echo "fuzz regress: $name FAILED (log: $log)"
      status=1
    fi
  done
  return $status
}

# "executions exec/s" from a libFuzzer log with final stats.
figures() {
  awk '/stat::number_of_executed_units:/ {runs=$2}
       /^Done [0-9]+ runs in [0-9]+ second/ {runs=$2; secs=$5}
       /stat::average_exec_per_sec:/ {rate=$2}
       END {printf "%s %s\n", runs+0, rate+0}' "$1"
}

campaign() {
  local seconds="$1"; shift
  local names=("$@")
  [ ${#names[@]} -eq 0 ] && names=("${harnesses[@]}")
  local rows=()
  for name in "${names[@]}"; do
    local binary="$out/fuzz_$name"
    [ -x "$binary" ] || die "$binary is missing: run fuzz.sh build"
    local corpus="$out/corpus/$name" artifacts="$out/artifacts/$name" log="$out/campaign-$name.log"
    mkdir -p "$corpus" "$artifacts"
    local started=$SECONDS
    # At the lowest priority on a shared machine an input can stall for
    # seconds, so the run itself stops only at 60 s; every input that took
    # over 1 s is kept and re-timed below at normal priority.
    with_display nice -n 19 "$binary" -runs=10000000 -max_total_time="$seconds" -timeout=60 \
      -rss_limit_mb=2048 -max_len=65536 -close_fd_mask=1 -print_final_stats=1 -report_slow_units=1 \
      -dict="$here/$name.dict" -artifact_prefix="$artifacts/" "$corpus" "$here/corpus/$name" >"$log" 2>&1
    local code=$?
    local wall=$((SECONDS - started))
    read -r runs rate < <(figures "$log")
    local size crashes slow
    size=$(find "$corpus" -type f | wc -l)
    crashes=$(find "$artifacts" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'oom-*' \) | wc -l)
    # A slow input is a hang when it takes over 1 s again on its own.
    local seen=0 hangs=0
    while IFS= read -r -d '' unit; do
      seen=$((seen + 1))
      with_display "$binary" -runs=1 -timeout=1 -close_fd_mask=1 "$unit" >/dev/null 2>&1 || hangs=$((hangs + 1))
    done < <(find "$artifacts" -type f \( -name 'slow-unit-*' -o -name 'timeout-*' \) -print0)
    slow="$hangs/$seen"
    local peak
    peak=$(grep -o 'rss: [0-9]*Mb' "$log" | tail -n 1 | tr -dc 0-9)
    rows+=("$(printf '%-8s %12s %9s %8s %8s %6s %6s %7s %5s' "$name" "$runs" "$rate" "$size" "$crashes" \
      "$slow" "${wall}s" "${peak:-?}" "$code")")
  done
  # crashes: crash, leak and out-of-memory reports; hangs: inputs that took
  # over 1 s again when re-timed alone, of all that took over 1 s in the run.
  printf '%-8s %12s %9s %8s %8s %6s %6s %7s %5s\n' harness executions exec/s corpus crashes hangs time rss_mb exit
  printf '%s\n' "${rows[@]}"
}

case "${1:-}" in
  build) build ;;
  regress) regress ;;
  campaign) [ $# -ge 2 ] || die "usage: fuzz.sh campaign SECONDS [NAME...]"; shift; campaign "$@" ;;
  *) die "usage: fuzz.sh build | regress | campaign SECONDS [NAME...]" ;;
esac
