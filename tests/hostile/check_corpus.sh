#!/usr/bin/env bash
# Runs vellox on every file of a hostile-input corpus (see make_corpus.py)
# and checks that it either succeeds with a well-formed bookmark file or
# fails cleanly, within its budgets: never a signal, never a hang, never a
# stray file.
#
#   check_corpus.sh VELLOX CORPUS_DIR
#
# Budgets are CPU time (user + system) and peak resident memory, which a
# loaded machine does not inflate as it does wall time. They come from
# expectations.txt: its "*" line holds the defaults, a file's own line may
# set others. BUDGETS=off measures without judging (sanitizer builds, whose
# costs are of another scale).
# Apart from the budgets, each run gets MEMORY_LIMIT_KB of address space
# (default 2 GiB; "unlimited" for a sanitizer build), so that a runaway run
# cannot take the machine, and HANG_GUARD seconds of wall time (default
# 120).
# Accepted outcomes:
#   exit 0: stdout has the banner; every stderr line is a warning
#           ("vellox: warning: ...") or the no-outline note; the .pdr
#           decodes, its labels match its pages and its texts are UTF-8
#   exit 1: nothing on stdout, exactly one stderr line "vellox: ...", and
#           no .pdr written
# expectations.txt in the corpus may also require an exit code, a number
# of bookmarks and a text on stderr per file. Prints one line per file with
# the CPU seconds and peak MB measured, the five worst files by each, and
# "N passed, M failed"; exits 1 when any failed.
set -uo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 VELLOX CORPUS_DIR" >&2
  exit 2
fi
vellox="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
corpus="$2"
memory_kb="${MEMORY_LIMIT_KB:-2097152}"
hang_guard="${HANG_GUARD:-120}"
judge="${BUDGETS:-on}"
export LC_ALL=C  # titles come out as UTF-8, as the decoder checks
[ -x "$vellox" ] || { echo "no program at $vellox" >&2; exit 2; }
command -v python3 >/dev/null || { echo "python3 is needed" >&2; exit 2; }
# The interpreter itself: a launcher in front of it (pyenv's) would cost
# more than most runs it measures.
python="$(python3 -c 'import sys; print(sys.executable)')"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Runs a command with an address-space limit and a wall-time guard; prints
# its exit code ("signal N", "hang"), CPU seconds and peak resident KB.
cat > "$work/measure.py" <<'PY'
import os, resource, signal, subprocess, sys, threading
limit_kb, guard, out, err = sys.argv[1:5]
def limit():
    if limit_kb != "unlimited":
        resource.setrlimit(resource.RLIMIT_AS, (int(limit_kb) * 1024,) * 2)
hung = []
def kill(pid):
    hung.append(True)
    os.kill(pid, signal.SIGKILL)
with open(out, "wb") as o, open(err, "wb") as e:
    child = subprocess.Popen(sys.argv[5:], stdout=o, stderr=e, preexec_fn=limit)
    guard_timer = threading.Timer(float(guard), kill, (child.pid,))
    guard_timer.start()
    # This child's own usage: the interpreter's RUSAGE_CHILDREN may hold
    # what ran before it in the same process (a launcher script's work).
    _, status, usage = os.wait4(child.pid, 0)
    guard_timer.cancel()
    child.returncode = 0  # reaped here; keeps Popen from waiting again
if hung:
    code = "hang"
elif os.WIFSIGNALED(status):
    code = "signal %d" % os.WTERMSIG(status)
else:
    code = os.WEXITSTATUS(status)
print("%s\t%.3f\t%d" % (code, usage.ru_utime + usage.ru_stime, usage.ru_maxrss))
PY

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

declare -A want_exit want_records cpu_budget memory_budget want_said
default_cpu=""
default_mb=""
if [ -f "$corpus/expectations.txt" ]; then
  while IFS=$'\t' read -r name code records budget_s budget_mb says; do
    [ -n "$name" ] || continue
    if [ "$name" = "*" ]; then
      default_cpu="$budget_s"
      default_mb="$budget_mb"
      continue
    fi
    want_exit["$name"]="$code"
    want_records["$name"]="$records"
    [ "${says:--}" = "-" ] || want_said["$name"]="$says"
    [ "${budget_s:--}" = "-" ] || cpu_budget["$name"]="$budget_s"
    [ "${budget_mb:--}" = "-" ] || memory_budget["$name"]="$budget_mb"
  done < "$corpus/expectations.txt"
fi
if [ "$judge" != off ] && { [ -z "$default_cpu" ] || [ -z "$default_mb" ]; }; then
  echo "no default budgets (a \"*\" line) in $corpus/expectations.txt" >&2
  exit 2
fi

passed=0
failed=0
: > "$work/measured"
for pdf in "$corpus"/*.pdf; do
  name="$(basename "$pdf")"
  pdr="${pdf%.pdf}.pdr"
  rm -f "$pdr"
  budget_s="${cpu_budget[$name]:-$default_cpu}"
  budget_mb="${memory_budget[$name]:-$default_mb}"
  IFS=$'\t' read -r code cpu peak_kb < <("$python" "$work/measure.py" "$memory_kb" "$hang_guard" \
    "$work/out" "$work/err" "$vellox" "$pdf")
  : "${code:=unknown}" "${cpu:=0}" "${peak_kb:=0}"  # the measuring itself failed
  peak_mb=$((peak_kb / 1024))
  measured=", $cpu s CPU, $peak_mb MB"
  printf '%s\t%s\t%s\t%s\t%s\n' "$name" "$cpu" "$peak_mb" "${budget_s:--}" "${budget_mb:--}" \
    >> "$work/measured"
  lines=$(wc -l < "$work/err")
  problem=""
  detail=""
  if [ "$code" = hang ]; then
    problem="still running after ${hang_guard} s (hang guard)"
  elif [ "${code#signal }" != "$code" ]; then
    problem="killed by $code"
  elif [ "$code" -eq 0 ]; then
    unexpected="$(grep -v -e '^vellox: warning: ' -e "^vellox: '.*' has no outline; " "$work/err" | head -n 1)"
    if [ -n "$unexpected" ]; then
      problem="exit 0 with an unexpected stderr line: ${unexpected:0:300}"
    elif [ ! -s "$work/out" ]; then
      problem="exit 0 without the banner"
    elif [ ! -f "$pdr" ]; then
      problem="exit 0 without a bookmark file"
    elif ! count=$("$python" "$work/decode.py" "$pdr"); then
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
  if [ -z "$problem" ] && [ "$judge" != off ]; then
    if awk -v c="$cpu" -v b="$budget_s" 'BEGIN { exit !(c > b) }'; then
      problem="$cpu s CPU, over its budget of $budget_s s"
    elif [ "$peak_mb" -gt "$budget_mb" ]; then
      problem="$peak_mb MB peak memory, over its budget of $budget_mb MB"
    fi
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
echo "worst five by CPU time (s, budget):"
sort -t$'\t' -k2,2gr "$work/measured" | head -n 5 |
  awk -F'\t' '{ printf "  %8.3f  %6s  %s\n", $2, $4, $1 }'
echo "worst five by peak memory (MB, budget):"
sort -t$'\t' -k3,3nr "$work/measured" | head -n 5 |
  awk -F'\t' '{ printf "  %8d  %6s  %s\n", $3, $5, $1 }'
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
