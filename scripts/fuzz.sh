#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each one for a
# bounded time from its seed corpus in fuzz/corpus/<target>/. Exits non-zero
# when any target finds a crash, a leak, a timeout or a failed check; the
# input that did it is kept under $BUILD_ROOT/fuzz-artifacts/<target>/.
#
#   FUZZ_SECONDS  seconds per target (default 60; e.g. 3600 for a long run)
#   FUZZ_TARGETS  which targets (default: "pdf args writer differential")
#   FUZZ_WORK     keep the grown corpora here and start from them next time
#                 (default: a scratch directory, removed afterwards); the
#                 seeds in the repository are never modified
#   BUILD_ROOT    where the build trees go (default: build-test)
#   FUZZ_CXX      the clang to build with (default: clang++, else clang++-14)
source "$(dirname "$0")/lib.sh"
cd "$repo_root"
seconds="${FUZZ_SECONDS:-60}"
read -r -a targets <<< "${FUZZ_TARGETS:-pdf args writer differential}"
cxx="${FUZZ_CXX:-}"
if [ -z "$cxx" ]; then
  for candidate in clang++ clang++-14; do
    if command -v "$candidate" >/dev/null; then cxx="$candidate"; break; fi
  done
fi
[ -n "$cxx" ] || { echo "fuzz.sh: clang++ is needed (Debian: clang libclang-rt-14-dev)" >&2; exit 2; }

echo "== fuzz build ($cxx, ASan + UBSan + libFuzzer)"
vellox_build "$build_root/fuzz" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELLOX_BUILD_TESTS=OFF -DVELLOX_SANITIZE=ON -DVELLOX_FUZZ=ON -- "${targets[@]/#/fuzz_}"

if [ -n "${FUZZ_WORK:-}" ]; then
  work="$FUZZ_WORK"
  mkdir -p "$work"
else
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT
fi
artifacts="$build_root/fuzz-artifacts"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
summary=()
for target in "${targets[@]}"; do
  echo "== fuzz $target for ${seconds} s"
  corpus="$work/corpus-$target"
  mkdir -p "$corpus" "$artifacts/$target"
  cp -n fuzz/corpus/"$target"/* "$corpus"/
  log="$work/$target.log"
  code=0
  "$build_root/fuzz/fuzz/fuzz_$target" "$corpus" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -timeout=10 -print_final_stats=1 -artifact_prefix="$artifacts/$target/" >"$log" 2>&1 || code=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  coverage=$(grep -a -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  units=$(ls "$corpus" | wc -l)
  line="fuzz $target: ${runs:-?} executions in ${seconds} s, coverage ${coverage:-?}, corpus $units inputs"
  if [ "$code" -ne 0 ]; then
    failed=1
    grep -a -E '^(==[0-9]+==ERROR|SUMMARY|fuzz check failed|.*runtime error)' "$log" | head -n 5 || true
    tail -n 40 "$log"
    line="$line: FAILED (exit $code; inputs in $artifacts/$target/)"
  else
    line="$line: ok"
  fi
  echo "$line"
  summary+=("$line")
done

echo "== fuzz summary"
printf '%s\n' "${summary[@]}"
exit "$failed"
