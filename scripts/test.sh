#!/usr/bin/env bash
# Sets everything up, builds twice and runs every check:
#   build/       release: every test suite, and the include-order check
#   build-asan/  clang with AddressSanitizer, UndefinedBehaviorSanitizer and
#                the fuzzer's coverage counters (compiled while the release
#                tests run): every test suite again but the cases that play
#                whole matches (VORLUNE_RELEASE_ONLY in tests/CMakeLists.txt), each fuzz harness over its committed corpus, and
#                the game on a sample of damaged content
# Tests that need a window or sound run under Xvfb and OpenAL Soft's null
# backend. Prints how long each stage took, the slowest ten cases and one
# final line; exits non-zero when anything failed.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc)"
# Compiler cache entries are shared by every clone on the machine.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"

status=0
stages=()
started_all=$SECONDS
stage_start=$SECONDS

# Ends the stage started last: records its time and outcome ("ok" or "FAILED").
end_stage() {
  local name="$1" outcome="$2"
  local took=$((SECONDS - stage_start))
  stages+=("$(printf '%-22s %5ss  %s' "$name" "$took" "$outcome")")
  echo "== $name: ${took}s, $outcome"
  [ "$outcome" = ok ] || status=1
  stage_start=$SECONDS
}

bash "$root/scripts/setup.sh"
if [ $? -ne 0 ]; then
  end_stage setup FAILED
  echo "test: FAILED (setup)"
  exit 1
fi
end_stage setup ok

# Configures and builds one tree; the log keeps the compiler's output.
build_tree() {
  local build="$1"; shift
  local log="$root/$build.log"
  echo "== $build: configure and build"
  # A tree keeps the generator it was first made with (the play command's
  # make files, say): cmake refuses to switch a configured tree.
  local generator=()
  if [ ! -f "$root/$build/CMakeCache.txt" ] && command -v ninja >/dev/null; then
    generator=(-G Ninja)
  fi
  if ! { cmake -S "$root" -B "$root/$build" "${generator[@]}" "$@" &&
         cmake --build "$root/$build" -j "$jobs"; } >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "== $build: build FAILED (full log: $log)"
    return 1
  fi
  grep -E "warning:" "$log" | sort -u | head -n 20
  return 0
}

# Every test of one tree; more arguments go to ctest. Xvfb resets itself
# whenever its last client disconnects, and a test that connects at that
# moment finds no display: -noreset keeps it up. The random first display
# number keeps concurrent runs on one machine apart. The tests' own time
# limits (tests/CMakeLists.txt) take precedence over the default given here.
# Many cases wait on game processes playing in real time rather than on the
# processor, so one more test runs than there are cores.
run_tests() {
  local build="$1"; shift
  echo "== $build: tests"
  rm -rf "$root/$build/test-times"
  (cd "$root/$build" && xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1920x1080x24 -noreset" \
     ctest --output-on-failure -j "$((jobs + 1))" --timeout 300 "$@")
}

outcome() { [ "$1" -eq 0 ] && echo ok || echo FAILED; }

build_tree build -DCMAKE_BUILD_TYPE=Release
release_built=$?
end_stage "release build" "$(outcome $release_built)"

# One sanitized build for the test suites and the fuzz harnesses (see
# VORLUNE_FUZZ in CMakeLists.txt); leak detection stays on in both. Line
# tables are all the debug information sanitizer reports use (function, file
# and line of every frame), at a fraction of the compile time of full -g.
# It compiles while the release tests run, at the lowest priority: those
# spend much of their time waiting for games that play in real time, and
# keep the processor whenever they want it.
sanitized_log="$root/build-asan.stage"
( renice -n 19 -p "$BASHPID" >/dev/null 2>&1
  build_tree build-asan -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -gline-tables-only -DNDEBUG" \
    -DVORLUNE_SANITIZE=ON -DVORLUNE_FUZZ=ON -DVORLUNE_BUILD_BENCH=OFF >"$sanitized_log" 2>&1 ) &
sanitized_builder=$!

if [ $release_built -eq 0 ]; then
  run_tests build
  end_stage "release tests" "$(outcome $?)"
fi

wait "$sanitized_builder"
sanitized_built=$?
cat "$sanitized_log"
rm -f "$sanitized_log"
end_stage "sanitizer build (rest)" "$(outcome $sanitized_built)"
if [ $sanitized_built -eq 0 ]; then
  run_tests build-asan
  end_stage "sanitizer tests" "$(outcome $?)"

  # Every fuzz harness over its committed corpus (inputs that once broke a
  # reader stay fixed) and a few content files, each damaged four ways, that
  # must never crash the game. Each is one process at a time, so the two run
  # side by side on one display, and print in turn.
  echo "== build-asan: fuzz corpus pass and damaged content (sample)"
  fuzz_log="$root/build-asan/fuzz-regress.out"
  damaged_log="$root/build-asan/damaged-sample.out"
  ROOT="$root" FUZZ_LOG="$fuzz_log" DAMAGED_LOG="$damaged_log" \
    xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1920x1080x24 -noreset" bash -c '
      FUZZ_BUILD_DIR="$ROOT/build-asan" bash "$ROOT/tools/fuzz/fuzz.sh" regress >"$FUZZ_LOG" 2>&1 &
      fuzz_pass=$!
      bash "$ROOT/scripts/damaged-content.sh" --sample --binary "$ROOT/build-asan/vorlune" >"$DAMAGED_LOG" 2>&1
      damaged_status=$?
      wait "$fuzz_pass" && exit "$damaged_status"'
  checks_status=$?
  cat "$fuzz_log" "$damaged_log"
  end_stage "fuzz and damaged" "$(outcome $checks_status)"
fi

echo "== slowest cases"
bash "$root/scripts/slowest-cases.sh" "$root/build" "$root/build-asan"
echo "== stage times"
printf '%s\n' "${stages[@]}"
printf '%-22s %5ss\n' total $((SECONDS - started_all))
if [ $status -ne 0 ]; then
  echo "test: FAILED"
else
  echo "test: all suites passed"
fi
exit $status
