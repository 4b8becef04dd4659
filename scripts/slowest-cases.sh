#!/usr/bin/env bash
# Prints the slowest test cases of one or more build trees, from the gtest
# reports their test runs wrote into BUILD/test-times/:
#   bash scripts/slowest-cases.sh [--count N] BUILD_DIR...
# One line a case: seconds, the tree, suite.case.
set -uo pipefail
count=10
if [ "${1:-}" = --count ]; then
  count="$2"
  shift 2
fi
for build in "$@"; do
  tree="$(basename "$build")"
  for report in "$build"/test-times/*.xml; do
    [ -f "$report" ] || continue
    # A case is one <testcase .../> element; the listing a run makes for
    # test discovery has no times and is skipped.
    grep -o '<testcase [^>]*>' "$report" |
      awk -v tree="$tree" '
        {
          name = ""; suite = ""; secs = ""
          if (match($0, / name="[^"]*"/)) name = substr($0, RSTART + 7, RLENGTH - 8)
          if (match($0, / classname="[^"]*"/)) suite = substr($0, RSTART + 12, RLENGTH - 13)
          if (match($0, / time="[0-9.]*"/)) secs = substr($0, RSTART + 7, RLENGTH - 8)
          if (secs != "") printf "%8.2fs  %-10s %s.%s\n", secs, tree, suite, name
        }'
  done
done | sort -rn | head -n "$count"
