# Sourced by the build and test scripts: the preamble they share and the
# one way they configure and build.
#
#   source "$(dirname "$0")/lib.sh"     (from scripts/; adjust elsewhere)
#
# Sets strict mode and
#   repo_root   the repository, absolute
#   build_root  BUILD_ROOT (default build-test) taken from the repository,
#               absolute
#   jobs        JOBS, else the number of processors
# and defines vellox_build. It changes no directory.
set -euo pipefail
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_root="$(cd "$repo_root" && realpath -m "${BUILD_ROOT:-build-test}")"
jobs="${JOBS:-$(nproc 2>/dev/null || echo 2)}"

# vellox_build DIR [CMAKE_ARGUMENT...] [-- TARGET...]
# Configures the repository's sources (or another project's, given with
# -S) in DIR and builds TARGETs, everything by default, with $jobs jobs.
# The configure step's output goes to DIR.configure.log, shown only when
# it fails.
vellox_build() {
  local dir="$1" arguments=() targets=()
  shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do arguments+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  [ $# -gt 0 ] && targets=(--target "$@")
  mkdir -p "$(dirname "$dir")"
  # A -S among the arguments comes later, and wins.
  cmake -S "$repo_root" -B "$dir" "${arguments[@]}" >"$dir.configure.log" 2>&1 ||
    { cat "$dir.configure.log" >&2; return 1; }
  cmake --build "$dir" -j "$jobs" "${targets[@]}"
}
