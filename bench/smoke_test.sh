#!/usr/bin/env bash
# One small run of each benchmark tool, from the main build's tests: the
# generated PDFs (classic, object streams, scanned) must convert, the qpdf
# floor must read them, and timeit must time a command in the form
# bench/run.sh parses.
#
#   smoke_test.sh PDFGEN TIMEIT QPDF_FLOOR HELLO_ZLIB HELLO_C DURABLE_WRITE VELLOX WORK_DIR
source "$(dirname "$0")/../scripts/lib.sh"
pdfgen="$1" timeit="$2" floor="$3" hello="$4" hello_c="$5" durable="$6" vellox="$7" work="$8"
rm -rf "$work"
mkdir -p "$work"

"$pdfgen" --pages 40 --items 30 --out "$work/classic.pdf"
"$pdfgen" --pages 40 --items 30 --dests hyperref --anchors 2 --object-streams 1 \
  --out "$work/objstm.pdf"
"$pdfgen" --pages 6 --items 4 --object-streams 1 --image-bytes 100000 --out "$work/scanned.pdf"
size="$(stat -c %s "$work/scanned.pdf")"
[ "$size" -gt 600000 ] || { echo "scanned.pdf has $size bytes, not its six images" >&2; exit 1; }

for name in classic objstm scanned; do
  "$vellox" "$work/$name.pdf" >/dev/null
  [ -s "$work/$name.pdr" ] || { echo "no bookmark file for $name.pdf" >&2; exit 1; }
  "$floor" "$work/$name.pdf" | grep -q '^[1-9][0-9]* items' || {
    echo "qpdf_floor found no items in $name.pdf" >&2; exit 1; }
done
expected="$("$vellox" --show "$work/objstm.pdf" | wc -l)"
[ "$expected" = 30 ] || { echo "objstm.pdf shows $expected bookmarks, not 30" >&2; exit 1; }

"$hello_c"
"$durable" "$work/durable.pdr" 5000
[ "$(stat -c %s "$work/durable.pdr")" = 5000 ] || { echo "durable_write wrote no 5000 bytes" >&2; exit 1; }

# Eight tab-separated fields per command; a failing run is counted, and a
# NAME=VALUE word reaches the command's environment.
result="$("$timeit" --runs 2 --warmup 0 hello "$hello" :: \
  env-set FOO=bar sh -c 'test "$FOO" = bar' :: fails false)"
echo "$result"
awk -F'\t' 'NF != 8 { exit 1 }' <<<"$result" || { echo "timeit: not 8 fields a line" >&2; exit 1; }
awk -F'\t' '$1 == "hello" && $8 == 0 { h = 1 } $1 == "env-set" && $8 == 0 { e = 1 }
  $1 == "fails" && $8 == 2 { f = 1 } END { exit !(h && e && f) }' <<<"$result" || {
  echo "timeit: wrong failure counts" >&2; exit 1; }
echo "benchmark tools ok"
