#!/usr/bin/env bash
# Generates the hostile-input corpus (tests/hostile/make_corpus.py) in a
# scratch directory and runs the built program on every file of it
# (tests/hostile/check_corpus.sh): each must succeed with a well-formed
# bookmark file or fail with one clean error line, within its CPU-time and
# peak-memory budgets (expectations.txt); each file's CPU seconds and MB
# are printed, and the five worst. Then the files the reader over qpdf must
# meet its budgets on too, with that reader chosen. Exits non-zero on any
# failure.
#   BUILD_ROOT     where the build trees go (default: build-test)
#   HOSTILE_SMALL  set to 1 to leave out the multi-megabyte cases
#   VELLOX         the program to check (default: the plain build's)
source "$(dirname "$0")/lib.sh"
cd "$repo_root"

echo "== hostile-input corpus"
vellox="${VELLOX:-}"
if [ -z "$vellox" ]; then
  # The plain build of scripts/test-all.sh; only the program is needed.
  vellox_build "$build_root/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLOX_BUILD_TESTS=ON \
    -- vellox
  vellox="$build_root/native/vellox"
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
small=()
[ "${HOSTILE_SMALL:-0}" = 1 ] && small=(--small)
failed=0
python3 tests/hostile/make_corpus.py "$work/any" "${small[@]}"
bash tests/hostile/check_corpus.sh "$vellox" "$work/any" || failed=1
echo "== hostile-input corpus, the reader over qpdf chosen"
python3 tests/hostile/make_corpus.py "$work/qpdf" --qpdf-reader "${small[@]}"
VELLOX_READER=qpdf bash tests/hostile/check_corpus.sh "$vellox" "$work/qpdf" || failed=1
exit "$failed"
