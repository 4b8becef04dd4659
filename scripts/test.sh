#!/usr/bin/env bash
# Sets everything up, builds and runs every test suite twice: once as built for
# release, once with AddressSanitizer and UndefinedBehaviorSanitizer. Tests that
# need a window or sound run under Xvfb and OpenAL Soft's null backend.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc)"

bash "$root/scripts/setup.sh" || exit 1

# Every test starts through `env` with the null audio backend (and, in the
# sanitized build, the sanitizer options); see tests/CMakeLists.txt.

run_suite() {
  local build="$1"; shift
  echo "== $build: configure and build"
  local log="$root/$build.log"
  mkdir -p "$root/$build"
  if ! { cmake -S "$root" -B "$root/$build" "$@" && cmake --build "$root/$build" -j "$jobs"; } >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "== $build: build FAILED (full log: $log)"
    return 1
  fi
  grep -E "warning:" "$log" | sort -u | head -n 20
  echo "== $build: tests"
  (cd "$root/$build" && xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1920x1080x24 -noreset" \
     ctest --output-on-failure -j "$jobs" --timeout 300)
}

# Xvfb resets itself whenever its last client disconnects, and a test that
# connects at that moment finds no display: -noreset keeps it up. The random
# first display number keeps concurrent runs on one machine apart.
status=0
run_suite build -DCMAKE_BUILD_TYPE=Release || status=1
run_suite build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLUNE_SANITIZE=ON -DVORLUNE_BUILD_BENCH=OFF || status=1

# Every fuzz harness over its committed corpus: inputs that once broke a
# reader stay fixed.
echo "== build-fuzz: configure and build the fuzz harnesses"
if FUZZ_JOBS="$jobs" bash "$root/tools/fuzz/fuzz.sh" build; then
  echo "== build-fuzz: corpus regression pass"
  bash "$root/tools/fuzz/fuzz.sh" regress || status=1
else
  status=1
fi

# A few content files, each damaged four ways, must never crash the game.
echo "== build-asan: damaged content (sample)"
if [ -x "$root/build-asan/vorlune" ]; then
  bash "$root/scripts/damaged-content.sh" --sample || status=1
else
  echo "damaged content: build-asan/vorlune is missing"
  status=1
fi

if [ $status -ne 0 ]; then
  echo "test: FAILED"
else
  echo "test: all suites passed"
fi
exit $status
