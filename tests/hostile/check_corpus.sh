#!/usr/bin/env bash
# Runs vellox on every file of a hostile-input corpus (see make_corpus.py)
# and checks that it either succeeds with a well-formed bookmark file or
# fails cleanly: never a signal, never a timeout, never a stray file.
#
#   check_corpus.sh VELLOX CORPUS_DIR
#
# Each run gets MEMORY_LIMIT_KB of address space (default 2 GiB;
# "unlimited" for a sanitizer build) and
# TIME_LIMIT seconds (default 20), unless expectations.txt raises them for
# the file. Accepted outcomes:
#   exit 0: stdout has the banner; every stderr line is a warning
#           ("vellox: warning: ...") or the no-outline note; the .pdr
#           decodes, its labels match its pages and its texts are UTF-8
#   exit 1: nothing on stdout, exactly one stderr line "vellox: ...", and
#           no .pdr written
# expectations.txt in the corpus may also require an exit code, a number
# of bookmarks and a text on stderr per file. Prints one line per file (with seconds and peak
# memory) and "N passed, M failed"; exits 1 when any failed.
set -uo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 VELLOX CORPUS_DIR" >&2
  exit 2
fi
vellox="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
corpus="$2"
memory_kb="${MEMORY_LIMIT_KB:-2097152}"
seconds="${TIME_LIMIT:-20}"
export LC_ALL=C  # titles come out as UTF-8, as the decoder checks
[ -x "$vellox" ] || { echo "no program at $vellox" >&2; exit 2; }
command -v python3 >/dev/null || { echo "python3 is needed" >&2; exit 2; }
gnu_time=""
[ -x /usr/bin/time ] && gnu_time=/usr/bin/time

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Decodes a bookmark file; prints the record count, or the fault and exits 1.
cat > "$work/decode.py" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
def fail(why, at):
    print("malformed .pdr: %s at offset %d" % (why, at)); sys.exit(1)
if len(data) < 13: fail("short header", len(data))
magic, version, reserved, count = struct.unpack(">IBII", data[:13])
if (magic, version, reserved) != (0xDEADCABB, 1, 0): fail("bad header", 0)
pos, records = 13, []
for i in range(count):
    if len(data) - pos < 7: fail("record %d incomplete" % i, pos)
    zero, page, length = struct.unpack(">BiH", data[pos:pos + 7])
    if zero != 0: fail("record %d does not start with 0" % i, pos)
    if length > 65000: fail("record %d longer than 65000" % i, pos)
    if len(data) - pos - 7 < length: fail("record %d incomplete" % i, pos)
    records.append((page, data[pos + 7:pos + 7 + length], pos))
    pos += 7 + length
if pos != len(data): fail("data after the last record", pos)
largest = max([(p + 1) & 0xFFFFFFFF for p, _, _ in records], default=0)
width = len(str(largest)) if largest else 0
for page, text, at in records:
    try:
        text.decode("utf-8")
    except UnicodeDecodeError as e:
        fail("text is not UTF-8 (%s)" % e.reason, at)
    label, space, _ = text.partition(b" ")
    value = (page + 1) & 0xFFFFFFFF
    value = value - (1 << 32) if value >= 1 << 31 else value
    if not space or len(label) < width or label.lstrip(b"-").strip(b"0123456789") \
            or int(label) != value:
        fail("label '%s' for page %d (width %d)" % (label[:20].decode("latin-1"), page, width), at)
print(count)
PY

declare -A want_exit want_records time_limit memory_limit want_said
if [ -f "$corpus/expectations.txt" ]; then
  while IFS=$'\t' read -r name code records limit_s limit_mb says; do
    [ -n "$name" ] || continue
    want_exit["$name"]="$code"
    want_records["$name"]="$records"
    [ "${says:--}" = "-" ] || want_said["$name"]="$says"
    [ "${limit_s:--}" = "-" ] || time_limit["$name"]="$limit_s"
    [ "${limit_mb:--}" = "-" ] || memory_limit["$name"]="$((limit_mb * 1024))"
  done < "$corpus/expectations.txt"
fi

passed=0
failed=0
for pdf in "$corpus"/*.pdf; do
  name="$(basename "$pdf")"
  pdr="${pdf%.pdf}.pdr"
  rm -f "$pdr" "$work/time"
  limit_s="${time_limit[$name]:-$seconds}"
  limit_kb="${memory_limit[$name]:-$memory_kb}"
  [ "$memory_kb" = unlimited ] && limit_kb=unlimited  # sanitizers reserve terabytes
  (
    ulimit -v "$limit_kb"
    if [ -n "$gnu_time" ]; then
      exec "$gnu_time" -q -f '%e %M' -o "$work/time" \
        timeout -k 5 "$limit_s" "$vellox" "$pdf" >"$work/out" 2>"$work/err"
    else
      exec timeout -k 5 "$limit_s" "$vellox" "$pdf" >"$work/out" 2>"$work/err"
    fi
  )
  code=$?
  measured=""
  if [ -n "$gnu_time" ] && [ -s "$work/time" ]; then
    read -r elapsed peak_kb < <(tail -n 1 "$work/time")
    measured=", ${elapsed} s, $((peak_kb / 1024)) MB"
  fi
  lines=$(wc -l < "$work/err")
  problem=""
  detail=""
  if [ "$code" -ge 124 ]; then
    if [ "$code" -eq 124 ] || [ "$code" -eq 137 ]; then
      problem="timed out after ${limit_s} s"
    else
      problem="killed by signal $((code - 128))"
    fi
  elif [ "$code" -eq 0 ]; then
    unexpected="$(grep -v -e '^vellox: warning: ' -e "^vellox: '.*' has no outline; " "$work/err" | head -n 1)"
    if [ -n "$unexpected" ]; then
      problem="exit 0 with an unexpected stderr line: ${unexpected:0:300}"
    elif [ ! -s "$work/out" ]; then
      problem="exit 0 without the banner"
    elif [ ! -f "$pdr" ]; then
      problem="exit 0 without a bookmark file"
    elif ! count=$(python3 "$work/decode.py" "$pdr"); then
      problem="$count"
    else
      detail="$count records"
      want="${want_records[$name]:--}"
      if [ "$want" != "-" ] && [ "$count" != "$want" ]; then
        problem="$count records, expected $want"
      fi
    fi
  elif [ "$code" -eq 1 ]; then
    detail="$(head -c 100 "$work/err" | head -n 1)"
    if [ "$lines" -ne 1 ] || ! head -n 1 "$work/err" | grep -q '^vellox: '; then
      problem="exit 1 with $lines stderr lines: $(head -c 300 "$work/err")"
    elif [ -s "$work/out" ]; then
      problem="exit 1 with output on stdout"
    elif [ -e "$pdr" ]; then
      problem="exit 1 but a bookmark file was written"
    fi
  else
    problem="exit $code: $(head -c 300 "$work/err")"
  fi
  want="${want_exit[$name]:-any}"
  if [ -z "$problem" ] && [ "$want" != "any" ] && [ "$code" != "$want" ]; then
    problem="exit $code, expected $want: $(head -c 300 "$work/err")"
  fi
  said="${want_said[$name]:-}"
  if [ -z "$problem" ] && [ -n "$said" ] && ! grep -q -F -e "$said" "$work/err"; then
    problem="stderr does not say '$said': $(head -c 300 "$work/err")"
  fi
  stray=$(find "$corpus" -maxdepth 1 -name '*.tmp-*' | head -n 1)
  if [ -z "$problem" ] && [ -n "$stray" ]; then
    problem="left a temporary file: $stray"
  fi
  rm -f "$pdr" "$corpus"/*.tmp-* 2>/dev/null

  if [ -z "$problem" ]; then
    passed=$((passed + 1))
    echo "ok   $name: exit $code${detail:+, $detail}$measured"
  else
    failed=$((failed + 1))
    echo "FAIL $name: $problem$measured"
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
