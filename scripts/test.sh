#!/usr/bin/env bash
# Sets everything up, builds and runs every test suite twice: once as built for
# release, once with AddressSanitizer and UndefinedBehaviorSanitizer. Tests that
# need a window or sound run under Xvfb and OpenAL Soft's null backend.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc)"

bash "$root/scripts/setup.sh" || exit 1

export ALSOFT_DRIVERS=null
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"

run_suite() {
  local build="$1"; shift
  echo "== $build: configure and build"
  cmake -S "$root" -B "$root/$build" "$@" >/dev/null || return 1
  cmake --build "$root/$build" -j "$jobs" 2>&1 | grep -E "error|warning|Error" ; test "${PIPESTATUS[0]}" -eq 0 || return 1
  echo "== $build: tests"
  (cd "$root/$build" && xvfb-run -a -s "-screen 0 1920x1080x24" \
     ctest --output-on-failure -j "$jobs" --timeout 300)
}

status=0
run_suite build -DCMAKE_BUILD_TYPE=Release || status=1
run_suite build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLUNE_SANITIZE=ON -DVORLUNE_BUILD_BENCH=OFF || status=1

if [ $status -ne 0 ]; then
  echo "test: FAILED"
else
  echo "test: all suites passed"
fi
exit $status
