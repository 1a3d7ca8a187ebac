#!/usr/bin/env bash
# Installs what building and testing vellox needs on Debian 12 (or Ubuntu).
# Safe to run again: apt-get skips what is already there.
set -euo pipefail
sudo=""
if [ "$(id -u)" != 0 ]; then sudo=sudo; fi

packages=(cmake g++ make pkg-config zlib1g-dev libqpdf-dev libgtest-dev)
if [ "${1:-}" = "--all" ]; then
  # The extra checks that the full test run makes.
  packages+=(qpdf valgrind dpkg-dev file
             mingw-w64 libz-mingw-w64-dev wine wine64 ninja-build locales googletest
             clang libclang-rt-14-dev python3 time)
fi
if [ "${1:-}" = "--bench" ] || [ "${1:-}" = "--bench-corpus" ]; then
  # The peers that bench/run.sh times vellox against.
  packages+=(qpdf mupdf-tools)
fi
if [ "${1:-}" = "--bench-corpus" ]; then
  # Real-world PDFs under /usr/share/doc for `bench/run.sh --corpus`
  # (pdfTeX, Ghostscript, DocBook and other producers; some 60 MB).
  packages+=(texlive-latex-recommended-doc ghostscript-doc camlidl-doc gri-pdf-doc
             docbook-xsl-doc-pdf freefem-doc)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  # apt and dpkg report every step of every package, and their progress:
  # their output is kept in a log and shown only when they fail.
  echo "Installing ${missing[*]}"
  log=$(mktemp)
  trap 'rm -f "$log"' EXIT
  { $sudo apt-get update -qq &&
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      "${missing[@]}"; } >"$log" 2>&1 || { status=$?; cat "$log" >&2; exit "$status"; }
fi
