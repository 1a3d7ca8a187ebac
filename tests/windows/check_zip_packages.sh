#!/usr/bin/env bash
# Packs both Windows builds as a Windows user downloads them (cpack:
# vellox-VERSION-win64.zip and vellox-VERSION-win32.zip) and checks them:
# each holds one folder of its name with vellox.exe of its machine type,
# README.txt and LICENSE.txt, the text with CR LF line ends; and the
# 64-bit program, unzipped, converts the sample under Wine started as
# Explorer starts it when a PDF is dropped onto it: by its full path, with
# the PDF's full path as its one argument, in another current directory.
#
#   check_zip_packages.sh WIN64_BUILD WIN32_BUILD NATIVE_VELLOX SAMPLE
# Run by run_wine_tests.sh, whose Wine set-up (WINEPREFIX and the rest of
# the environment) it uses. Says what is wrong and exits 1 on a fault.
set -euo pipefail
win64=$1 win32=$2 native=$3 sample=$4
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)

fault() { echo "check_zip_packages.sh: $*" >&2; exit 1; }

unpacked=$win64/zip-check
rm -rf "$unpacked"
mkdir -p "$unpacked"
for width in 64 32; do
  build=$win64
  [ $width = 32 ] && build=$win32
  rm -f "$build"/vellox-*-win$width.zip
  (cd "$build" && cpack >"$build/cpack.log" 2>&1) || { cat "$build/cpack.log" >&2; fault "cpack failed in $build"; }
  zip=$(ls "$build"/vellox-*-win$width.zip) || fault "cpack wrote no vellox-VERSION-win$width.zip"
  folder=$(basename "$zip" .zip)
  listed=$(python3 -c 'import sys, zipfile; print("\n".join(sorted(n for n in zipfile.ZipFile(sys.argv[1]).namelist() if not n.endswith("/"))))' "$zip")
  [ "$listed" = "$(printf '%s\n' "$folder/LICENSE.txt" "$folder/README.txt" "$folder/vellox.exe")" ] ||
    fault "$(basename "$zip") holds, not its folder's vellox.exe, README.txt and LICENSE.txt:"$'\n'"$listed"
  python3 -m zipfile -e "$zip" "$unpacked/win$width"
  for text in README.txt LICENSE.txt; do
    file=$unpacked/win$width/$folder/$text
    [ "$(grep -c $'\r$' "$file")" = "$(wc -l <"$file")" ] || fault "$text in $(basename "$zip"): a line without CR LF"
  done
  # The folder's copies, bar line ends and the UTF-8 mark, are the sources.
  tr -d '\r' <"$unpacked/win$width/$folder/README.txt" | tail -c +4 | cmp -s - "$(dirname "$0")/../../README.md" ||
    fault "README.txt in $(basename "$zip") is not README.md"
  file -b "$unpacked/win$width/$folder/vellox.exe" | grep -q "PE32.* (console)" ||
    fault "vellox.exe in $(basename "$zip") is no console program"
done
file -b "$unpacked"/win64/*/vellox.exe | grep -q "x86-64" || fault "the win64 zip's vellox.exe is not 64-bit"
file -b "$unpacked"/win32/*/vellox.exe | grep -q "Intel 80386" || fault "the win32 zip's vellox.exe is not 32-bit"

# A PDF dropped on the program: its .pdr appears beside it, titles in the
# ANSI code page (1252 here; a character it lacks becomes '?'). The
# built-in reader reads it, as on a machine without the component (the
# test component is registered by now).
books="$unpacked/My Books"
mkdir -p "$books"
cp "$sample" "$books/Book One.pdf"
program=$("$wine" winepath -w "$unpacked"/win64/*/vellox.exe)
pdf=$("$wine" winepath -w "$books/Book One.pdf")
(cd "$win64" && LC_ALL=C.UTF-8 VELLOX_READER=builtin "$wine" "$program" "$pdf" >"$unpacked/drop.out" 2>&1) ||
  { cat "$unpacked/drop.out" >&2; fault "the unzipped vellox.exe failed on a dropped PDF"; }
[ -f "$books/Book One.pdr" ] || fault "no Book One.pdr beside the dropped PDF"
cp "$sample" "$unpacked/linux.pdf"
"$native" "$unpacked/linux.pdf" >/dev/null || fault "the native build cannot convert $sample"
python3 - "$unpacked/linux.pdr" "$books/Book One.pdr" <<'PYTHON' || fault "the unzipped vellox.exe wrote other bookmarks than the Linux build's, in code page 1252"
import struct, sys
linux, windows = (open(name, "rb").read() for name in sys.argv[1:])
expected, at = bytearray(linux[:13]), 13
while at < len(linux):
    page, length = struct.unpack(">xiH", linux[at:at + 7])
    text = linux[at + 7:at + 7 + length].decode("utf-8").encode("cp1252", "replace")
    expected += struct.pack(">xiH", page, len(text)) + text
    at += 7 + length
if bytes(expected) != windows:
    sys.exit("expected %r\n     got %r" % (bytes(expected), windows))
PYTHON
