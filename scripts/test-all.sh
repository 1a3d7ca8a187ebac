#!/usr/bin/env bash
# Builds vellox with its tests and runs every test. Exits non-zero on any
# failure. BUILD_ROOT chooses where the build trees go (default: build-test).
source "$(dirname "$0")/lib.sh"
cd "$repo_root"

echo "== native build and tests"
# The benchmark's tools too, with a smoke run among the tests, so that they
# keep building as the code they share moves (bench/run.sh times with them).
vellox_build "$build_root/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLOX_BUILD_TESTS=ON \
  -DVELLOX_BUILD_BENCH=ON
# One test at a time: the named events are shared by every run on the machine.
ctest --test-dir "$build_root/native" --output-on-failure

echo "== Windows builds, and their tests under Wine"
bash tests/windows/run_wine_tests.sh "$build_root"

echo "== Debian package"
bash scripts/package-check.sh

# ---- reliability: ASan + UBSan test suite, valgrind leak checks ----
bash scripts/sanitize.sh
# ---- end of the sanitizer block ----

# ---- reliability: libFuzzer targets, FUZZ_SECONDS each (default 60) ----
bash scripts/fuzz.sh
# ---- end of the fuzzing block ----

# ---- reliability: hostile-input corpus, end to end ----
bash scripts/hostile-corpus.sh
# ---- end of the hostile-input block ----
