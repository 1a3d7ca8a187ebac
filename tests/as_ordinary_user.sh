#!/usr/bin/env bash
# Runs tests whose point is a refusal of permission, which root never
# meets (they skip themselves under root), as an ordinary user: under root
# as nobody, through setpriv, from a copy of the test program that user
# can reach (a build tree under /root is not); otherwise as the user
# running it. Fails unless exactly COUNT tests ran and passed, none
# skipped.
#
#   as_ordinary_user.sh TEST_PROGRAM GTEST_FILTER COUNT
set -euo pipefail
program=$1 filter=$2 count=$3

as_user=()
if [ "$(id -u)" = 0 ]; then
  nobody=65534
  copy=$(mktemp -d -p /tmp)
  trap 'rm -rf "$copy"' EXIT
  cp "$program" "$copy/"
  program=$copy/$(basename "$program")
  # The tests' scratch directories go to TMPDIR, which must be nobody's.
  install -d -o "$nobody" -g "$nobody" "$copy/tmp"
  chmod 755 "$copy"
  export TMPDIR=$copy/tmp
  as_user=(setpriv --reuid="$nobody" --regid="$nobody" --clear-groups)
fi

status=0
output=$(cd / && "${as_user[@]}" "$program" --gtest_filter="$filter" --gtest_color=no 2>&1) ||
  status=$?
echo "$output"
[ "$status" = 0 ] || exit "$status"
if grep -q '^\[  SKIPPED \]' <<<"$output"; then
  echo "as_ordinary_user.sh: tests were skipped" >&2
  exit 1
fi
grep -q "^\[  PASSED  \] $count tests\{0,1\}\.$" <<<"$output" ||
  { echo "as_ordinary_user.sh: expected $count tests to pass" >&2; exit 1; }
