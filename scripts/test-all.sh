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

# Reliability: the test suite under ASan and UBSan, valgrind's leak checks;
# the libFuzzer targets, FUZZ_SECONDS each (default 60); the hostile-input
# corpus, end to end. Each script says what it runs.
bash scripts/sanitize.sh
bash scripts/fuzz.sh
bash scripts/hostile-corpus.sh
