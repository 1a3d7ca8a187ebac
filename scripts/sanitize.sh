#!/usr/bin/env bash
# Builds vellox and its tests with AddressSanitizer and UndefinedBehavior-
# Sanitizer and runs the whole test suite under them, and the program on
# the small hostile-input corpus; then runs the plain program under
# valgrind, on the sample and on inputs that fail, and requires it to free
# everything. Exits non-zero on any finding.
# BUILD_ROOT chooses where the build trees go (default: build-test);
# CXX picks the compiler of the sanitizer build (default: the system's).
source "$(dirname "$0")/lib.sh"
cd "$repo_root"

echo "== sanitizer build (ASan + UBSan) and tests"
vellox_build "$build_root/asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLOX_BUILD_TESTS=ON \
  -DVELLOX_SANITIZE=ON
# Leaks count as failures; the first report of either sanitizer ends the
# process so that the test, and ctest, fail.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# One test at a time: the named events are shared by every run on the machine.
ctest --test-dir "$build_root/asan" --output-on-failure

echo "== sanitizer build on the hostile-input corpus (small cases, no truncations)"
# The truncated files are the fuzzers' ground; the rest are shapes (loops,
# depth, bombs, odd numbers) that fuzzing reaches rarely.
corpus="$(mktemp -d)"
python3 tests/hostile/make_corpus.py "$corpus" --small
rm -f "$corpus"/truncated-*
MEMORY_LIMIT_KB=unlimited BUDGETS=off \
  bash tests/hostile/check_corpus.sh "$build_root/asan/vellox" "$corpus" || { rm -rf "$corpus"; exit 1; }
rm -rf "$corpus"
unset ASAN_OPTIONS UBSAN_OPTIONS

echo "== valgrind: the plain program frees everything, also when it fails"
# The plain build of scripts/test-all.sh; only the program is needed.
vellox_build "$build_root/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLOX_BUILD_TESTS=ON \
  -- vellox
vellox="$build_root/native/vellox"

scratch="$(mktemp -d)"
trap 'chmod -R u+w "$scratch" 2>/dev/null; rm -rf "$scratch"' EXIT
cp samples/sample.pdf "$scratch/book.pdf"
printf 'hello, world\n' > "$scratch/text.pdf"
# A PDF cut in the middle of its objects: the built-in reader hands it to
# the repairing reader, which finds too little to read (exit 1); both
# readers' failure paths run.
head -c 700 samples/sample.pdf > "$scratch/cut.pdf"
# A wrong cross-reference offset: the built-in reader hands the file on,
# qpdf rebuilds the table, the run warns.
sed 's/^startxref$/startxref\n7/' samples/sample.pdf > "$scratch/repaired.pdf"
mkdir "$scratch/dir.pdr"
cp samples/sample.pdf "$scratch/dir.pdf"

failed=0
check() {  # name, expected exit code, arguments...
  local name="$1" want="$2"
  shift 2
  local got=0
  (cd "$scratch" && valgrind -q --error-exitcode=99 --leak-check=full \
     --errors-for-leak-kinds=definite,indirect "$vellox" "$@") \
     >"$scratch/out" 2>"$scratch/err" || got=$?
  if [ "$got" = "$want" ]; then
    echo "ok   valgrind: $name (exit $got)"
  else
    echo "FAIL valgrind: $name: exit $got, expected $want"
    cat "$scratch/err"
    failed=1
  fi
}
check "sample" 0 book.pdf
check "sample, depth limit 0" 0 book.pdf -ML 0
check "not a PDF" 1 text.pdf
check "damaged PDF" 1 cut.pdf
check "repaired PDF" 0 repaired.pdf
check "missing input" 1 gone.pdf
check "unwritable target" 1 dir.pdf
check "no file name" 2
exit "$failed"
