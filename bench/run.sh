#!/usr/bin/env bash
# Times vellox against qpdf and mutool on synthetic PDFs (and on any PDF
# given on the command line), side by side in one run, and prints per file
# each tool's median wall time, CPU time and peak memory with the ratios.
#
#   bash bench/run.sh [--quick] [FILE.pdf ...]
#   bash bench/run.sh [--quick] --corpus DIR [--sample N]
#
# Needs what `bash scripts/install-deps.sh --bench` installs.
# Builds vellox (Release) and the benchmark's tools under build-bench/
# (BENCH_DIR to change), writes the PDFs there, and reuses them on later
# runs. --quick: fewer runs, no 200,000-page file, a smaller folder and
# 300 MB scanned books instead of the 1.5 GB ones. Both end with a sample
# of 40 real PDFs from /usr/share/doc (install-deps.sh --bench-corpus) and
# the targets, each "met" or missed by how much, with what sets its floor.
# --corpus DIR: instead of the synthetic cases, every PDF below DIR (with
# --sample N, N of those of 64 KiB and more, spread over their sizes), one
# line each, then the spread of the vellox/mutool time ratios.
# Each file is also read once with VELLOX_READER=builtin: a failure there
# means the built-in reader hands the file to the qpdf fallback.
# No test: the figures depend on the machine and its load (the test run
# only builds the tools and runs each once, bench/smoke_test.sh).
source "$(dirname "$0")/../scripts/lib.sh"

# All in one function, read whole before it runs: editing the file meanwhile
# cannot derail a run.
main() {
out="${BENCH_DIR:-$repo_root/build-bench}"

quick=0
corpus=""
sample=0
extra=()
while [ $# -gt 0 ]; do
  case "$1" in
    --quick) quick=1 ;;
    --corpus)
      [ $# -ge 2 ] && [ -d "$2" ] || { echo "--corpus needs a folder" >&2; exit 2; }
      corpus="$(realpath "$2")"
      shift ;;
    --sample)
      [ $# -ge 2 ] && [ "$2" -gt 0 ] 2>/dev/null || { echo "--sample needs a number" >&2; exit 2; }
      sample="$2"
      shift ;;
    -h|--help) sed -n '2,22p' "$0"; exit 0 ;;
    *) extra+=("$(realpath "$1")") ;;
  esac
  shift
done

missing=()
for tool in cmake g++ pkg-config qpdf mutool; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "missing: ${missing[*]}; install with: bash scripts/install-deps.sh --bench" >&2
  exit 1
fi

if [ $quick = 1 ]; then
  big_runs=3; small_runs=11; scale_runs=3; folder_size=100; folder_runs=3; corpus_runs=3
  startup_rounds=5; startup_runs=41; scan_runs=11; scan_pages=120
else
  big_runs=5; small_runs=21; scale_runs=5; folder_size=300; folder_runs=3; corpus_runs=5
  startup_rounds=5; startup_runs=81; scan_runs=5; scan_pages=600
fi
# The real PDFs the per-file target is checked on, when there are some.
doc_corpus=/usr/share/doc
doc_sample=40
scan_image_bytes=2500000  # a 300 dpi greyscale A4 scan as JPEG

echo "== building (Release) in $out"
vellox_build "$out/vellox" -DCMAKE_BUILD_TYPE=Release -DVELLOX_BUILD_TESTS=OFF >/dev/null
vellox_build "$out/tools" -S "$repo_root/bench" -DCMAKE_BUILD_TYPE=Release >/dev/null
vellox="$out/vellox/vellox"
pdfgen="$out/tools/pdfgen"
timeit="$out/tools/timeit"
floor="$out/tools/qpdf_floor"
hello="$out/tools/hello_zlib"
hello_c="$out/tools/hello_c"
durable="$out/tools/durable_write"
pdfs="$out/pdfs"
mkdir -p "$pdfs"

# make NAME PDFGEN-OPTIONS...: writes $pdfs/NAME.pdf unless it is there,
# newer than the generator.
make_pdf() {
  local name="$1"; shift
  local file="$pdfs/$name.pdf"
  if [ ! -f "$file" ] || [ "$pdfgen" -nt "$file" ]; then
    "$pdfgen" "$@" --out "$file"
  fi
}

# ms VALUE_S: seconds as milliseconds with one decimal.
ms() { awk -v s="$1" 'BEGIN { printf "%.1f", s * 1000 }'; }
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.3f", a / b; else print "-" }'; }

# builtin_reads FILE: whether the built-in reader reads FILE without the
# qpdf fallback ("reads it", or "falls back (exit N)").
builtin_reads() {
  local code=0
  VELLOX_READER=builtin "$vellox" "$1" >/dev/null 2>&1 || code=$?
  if [ $code = 0 ]; then echo "reads it"; else echo "falls back (exit $code)"; fi
}

# read_counts FILE: how vellox --show reads FILE, "N preads, B bytes", as
# strace counts the calls on that file; "n/a" without strace.
read_counts() {
  command -v strace >/dev/null || { echo "n/a (no strace)"; return 0; }
  local trace="$out/read-trace.txt" path
  path="$(realpath "$1")"
  strace -f -y -qq -e trace=pread64 -o "$trace" "$vellox" --show "$1" >/dev/null 2>&1 || true
  awk -v path="$path" 'index($0, "<" path ">") { n++; s += $NF } END { printf "%d preads, %d bytes\n", n, s }' \
    "$trace"
}

# median FILE COLUMN: the median of a tab-separated numeric column.
median() {
  cut -f"$2" "$1" | sort -g | awk '{ v[NR] = $1 } END { if (NR) printf "%.3f", v[int((NR + 1) / 2)] }'
}

# time_corpus DIR [SAMPLE]: every PDF below DIR (any letter case), or
# SAMPLE of those of 64 KiB and more spread over their sizes, timed with
# vellox (converting, and --show), qpdf's outline dump, mutool's and the
# durable write of the .pdr, one line each; then the spread of the time
# ratios (a conversion against mutool plus that write, --show against
# mutool), the worst file, the files where vellox is the slower one and
# those the built-in reader leaves to the qpdf fallback. A program that
# does nothing (hello_zlib) is timed beside them: its time over mutool's
# is what the start of a process alone takes of the ratio. vellox reads
# each through a link in the build folder, so that its .pdr lands there
# and not in DIR. Sets corpus_show_median and corpus_floor_median.
time_corpus() {
  local dir="$1" picked="${2:-0}" links="$out/corpus-links" table="$out/corpus.tsv"
  local files=()
  if [ "$picked" -gt 0 ]; then
    mapfile -t files < <(find "$dir" -type f -iname '*.pdf' -size +64k -printf '%s\t%p\n' |
      sort -n | awk -F'\t' -v k="$picked" '{ f[NR] = $2 }
        END { if (NR <= k) { for (i = 1; i <= NR; i++) print f[i] }
              else for (i = 0; i < k; i++) print f[int(i * (NR - 1) / (k - 1)) + 1] }')
  else
    mapfile -d '' files < <(find "$dir" -type f -iname '*.pdf' -print0 | sort -z)
  fi
  echo
  echo "== corpus: ${#files[@]} PDFs below $dir$([ "$picked" -gt 0 ] && echo " (a sample over their sizes)"), median of $corpus_runs runs each"
  corpus_show_median=""
  corpus_floor_median=""
  [ ${#files[@]} -gt 0 ] || return 0
  rm -rf "$links"
  mkdir -p "$links"
  : >"$table"
  printf '%9s %9s %9s %9s %9s %9s %9s %9s %9s %9s %-22s %s\n' "size KB" "vellox ms" \
    "--show ms" "qpdf ms" "mutool ms" "write ms" "v/(m+w)" "show/mut" "vellox MB" "mutool MB" \
    "built-in reader" file
  local i=0 file link result
  for file in "${files[@]}"; do
    i=$((i + 1))
    link="$(printf '%s/%05d.pdf' "$links" "$i")"
    ln -s "$file" "$link"
    local written=0
    "$vellox" "$link" >/dev/null 2>&1 && written="$(stat -c %s "${link%.pdf}.pdr")"
    result="$("$timeit" --runs "$corpus_runs" \
      vellox "$vellox" "$link" :: \
      show "$vellox" --show "$link" :: \
      qpdf qpdf --json --json-key=outlines "$link" :: \
      mutool mutool show "$link" outline :: \
      write "$durable" "${link%.pdf}.durable.pdr" "$written" :: \
      hello "$hello")"
    local fallback v_failed m_failed
    fallback="$(builtin_reads "$link")"
    v_failed="$(awk -F'\t' '$1 == "vellox" { print $8 }' <<<"$result")"
    m_failed="$(awk -F'\t' '$1 == "mutool" { print $8 }' <<<"$result")"
    [ "$v_failed" = 0 ] || fallback="vellox fails"
    awk -F'\t' -v file="$file" -v size="$(stat -L -c %s "$file")" -v fallback="$fallback" \
      -v m_failed="$m_failed" '
      { wall[$1] = $3; rss[$1] = $6 }
      END {
        m = wall["mutool"]
        w = wall["write"]
        printf "%d\t%.1f\t%.1f\t%.1f\t%.1f\t%.1f\t%.3f\t%.3f\t%.1f\t%.1f\t%s%s\t%s\t%.3f\n",
          size / 1024, wall["vellox"] * 1000, wall["show"] * 1000, wall["qpdf"] * 1000, m * 1000,
          w * 1000, (m + w > 0 ? wall["vellox"] / (m + w) : 0), (m > 0 ? wall["show"] / m : 0),
          rss["vellox"] / 1024, rss["mutool"] / 1024, fallback,
          (m_failed > 0 ? ", mutool fails" : ""), file, (m > 0 ? wall["hello"] / m : 0)
      }' <<<"$result" | tee -a "$table" |
      awk -F'\t' '{ printf "%9s %9s %9s %9s %9s %9s %9s %9s %9s %9s %-22s %s\n",
                    $1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12 }'
  done
  rm -rf "$links"

  echo
  echo "== corpus summary (wall-time ratios: converting against mutool plus the durable"
  echo "   write, --show against mutool; table in $table)"
  sort -t$'\t' -k7,7g "$table" | awk -F'\t' '
    { ratio[NR] = $7; file[NR] = $12
      if ($7 > 1) slower++
      if ($11 ~ /^falls back/) fallback++
      if ($11 ~ /^vellox fails/) failing++
      vellox += $2; show += $3; mutool += $5; write += $6 }
    END {
      n = NR
      printf "files:                                     %d\n", n
      printf "median ratio, converting:                  %.3f\n", ratio[int((n + 1) / 2)]
      p90 = int(0.9 * n + 0.999999); if (p90 < 1) p90 = 1
      printf "p90 ratio, converting:                     %.3f\n", ratio[p90]
      printf "worst, converting:                         %.3f  %s\n", ratio[n], file[n]
      printf "converting slower than mutool + write:     %d of %d\n", slower, n
      printf "left to the qpdf fallback (built-in reader fails): %d\n", fallback
      printf "vellox fails (any reader):                 %d\n", failing
      printf "total ms, vellox / --show / mutool / write: %.0f / %.0f / %.0f / %.0f\n",
        vellox, show, mutool, write
    }'
  corpus_show_median="$(median "$table" 8)"
  corpus_floor_median="$(median "$table" 13)"
  echo "median ratio, --show:                      $corpus_show_median"
  echo "median ratio, a program doing nothing:     $corpus_floor_median (the start of a process alone)"
}

declare -A summary

echo
echo "== start-up: each program doing nothing, $startup_rounds rounds of $startup_runs runs"
# A run this short is at the mercy of whatever else the machine does: the
# figures are the medians over the rounds of each round's medians, the
# ratio taken within each round.
startup=""
for ((round = 0; round < startup_rounds; ++round)); do
  startup+="$("$timeit" --runs "$startup_runs" vellox "$vellox" --version :: hello_c "$hello_c" :: \
    hello_zlib "$hello" :: mutool mutool -v :: qpdf qpdf --version :: true /bin/true |
    awk -F'\t' '{ wall[$1] = $3; line[NR] = $0; label[NR] = $1 }
      END { for (i = 1; i <= NR; i++) print line[i] "\t" wall[label[i]] / wall["hello_c"] }')"$'\n'
done
# round_median LABEL COLUMN: the median over the rounds of a program's column.
round_median() {
  awk -F'\t' -v l="$1" -v c="$2" '$1 == l { print $c }' <<<"$startup" | sort -g |
    awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)] }'
}
printf '%-46s %8s %8s %8s %12s\n' program "wall ms" "cpu ms" "peak MB" "wall/bare C"
for label in vellox hello_c hello_zlib mutool qpdf true; do
  case "$label" in
    vellox) name="vellox --version" ;;
    hello_c) name="C, empty (bench/hello_c)" ;;
    hello_zlib) name="C with zlib, empty (bench/hello_zlib)" ;;
    mutool) name="mutool -v" ;;
    qpdf) name="qpdf --version" ;;
    true) name="/bin/true" ;;
  esac
  summary["startup/$label"]="$(awk -v r="$(round_median "$label" 9)" 'BEGIN { printf "%.3f", r }')"
  printf '%-46s %8s %8s %8s %12s\n' "$name" "$(ms "$(round_median "$label" 3)")" \
    "$(ms "$(round_median "$label" 5)")" "$(mb "$(round_median "$label" 6)")" \
    "${summary[startup/$label]}"
done

if [ -n "$corpus" ]; then
  time_corpus "$corpus" "$sample"
  return 0
fi

echo
echo "== writing the PDFs"
# Nested outlines (fan-out 4, depth 4) with every destination form in turn.
make_pdf mix-2000 --pages 2000 --items 2000
make_pdf mix-20000 --pages 20000 --items 20000
make_pdf mix-20000-objstm --pages 20000 --items 20000 --object-streams 1
[ $quick = 1 ] || make_pdf mix-200000 --pages 200000 --items 200000
# A typical LaTeX book: hyperref's named destinations, page and equation
# anchors in the name tree, object streams.
make_pdf typical --pages 400 --items 200 --depth 3 --fanout 6 --dests hyperref --anchors 3 \
  --object-streams 1
# The same book encrypted as books are sold, with the empty user password.
encrypt_pdf() {  # NAME QPDF-ENCRYPT-OPTIONS...: NAME.pdf from typical.pdf
  local file="$pdfs/$1.pdf"
  shift
  if [ ! -f "$file" ] || [ "$pdfs/typical.pdf" -nt "$file" ]; then
    qpdf --object-streams=preserve --encrypt "" owner "$@" -- "$pdfs/typical.pdf" "$file"
  fi
}
encrypt_pdf typical-aes128 128 --use-aes=y
encrypt_pdf typical-aes256 256
# Scanned books: a large image per page, a modest outline; the small
# objects in object streams, or, as scanners' software often writes them,
# each in the open between the images with a classic xref table. Written
# as they are made, so disk is the limit.
scan_mb=$((scan_pages * scan_image_bytes / 1000000))
# make_scanned NAME [PDFGEN-OPTIONS...]: prints NAME once $pdfs/NAME.pdf is
# there, nothing when the disk has no room for it.
make_scanned() {
  local name="$1"; shift
  if [ ! -f "$pdfs/$name.pdf" ] || [ "$pdfgen" -nt "$pdfs/$name.pdf" ]; then
    local free_mb
    free_mb="$(df --output=avail -BM "$pdfs" | awk 'NR == 2 { print $1 + 0 }')"
    if [ "$free_mb" -lt $((scan_mb + 2048)) ]; then
      echo "only $free_mb MB free in $pdfs: no $name.pdf (needs $scan_mb MB and 2 GB to spare)" >&2
      return 0
    fi
    make_pdf "$name" --pages "$scan_pages" --items 200 --depth 3 --fanout 6 --dests hyperref \
      --anchors 1 --image-bytes "$scan_image_bytes" "$@" >&2
  fi
  echo "$name"
}
scanned="$(make_scanned "scanned-${scan_mb}mb" --object-streams 1)"
scanned_table="$(make_scanned "scanned-table-${scan_mb}mb")"

# compare TITLE RUNS FILE: vellox (converting as it reads by default, and
# through qpdf alone; showing with --show, which writes nothing), qpdf,
# mutool, the durable write a conversion ends with and the two qpdf floors
# on FILE, interleaved; prints the table, the like-for-like ratios and how
# vellox reads the file, and keeps the figures in `summary`.
# durable-write: bench/durable_write writing a file of the .pdr's size as
# a conversion does (flushed, renamed, folder flushed); mutool, which only
# prints, plus that write is what a conversion is set against.
# floor-items: qpdf reading the outline items alone; floor-dests: and the
# destination objects they lead to (listed beforehand, untimed): what any
# reader over qpdf must at least parse. start: a C program that does
# nothing (bench/hello_c), what starting any program takes of the time.
compare() {
  local title="$1" runs="$2" file="$3"
  echo
  echo "== $title: $(basename "$file") ($(du -h "$file" | cut -f1)), median of $runs runs"
  local list="${file%.pdf}.destinations"
  "$floor" --list "$file" >"$list"
  "$vellox" "$file" >/dev/null
  local written
  written="$(stat -c %s "${file%.pdf}.pdr")"
  local result
  result="$("$timeit" --runs "$runs" \
    vellox "$vellox" "$file" :: \
    "vellox --show" "$vellox" --show "$file" :: \
    "vellox(qpdf)" VELLOX_READER=qpdf "$vellox" "$file" :: \
    qpdf qpdf --json --json-key=outlines "$file" :: \
    mutool mutool show "$file" outline :: \
    durable-write "$durable" "${file%.pdf}.durable.pdr" "$written" :: \
    floor-items "$floor" "$file" :: \
    floor-dests "$floor" --objects "$list" "$file" :: \
    start "$hello_c")"
  local v_wall v_rss
  v_wall="$(awk -F'\t' '$1 == "vellox" { print $3 }' <<<"$result")"
  v_rss="$(awk -F'\t' '$1 == "vellox" { print $6 }' <<<"$result")"
  printf '%-14s %10s %10s %12s %14s %14s %s\n' tool "wall ms" "cpu ms" "peak RSS MB" \
    "vellox/tool t" "vellox/tool M" "failed runs"
  while IFS=$'\t' read -r label n wall low cpu rss maxrss failed; do
    local rt="" rm=""
    if [ "$label" != vellox ]; then rt="$(ratio "$v_wall" "$wall")"; rm="$(ratio "$v_rss" "$rss")"; fi
    printf '%-14s %10s %10s %12s %14s %14s %s\n' "$label" "$(ms "$wall")" "$(ms "$cpu")" \
      "$(mb "$rss")" "$rt" "$rm" "$failed"
    summary["$title/$label/time"]="$rt"
    summary["$title/$label/wall"]="$wall"
    summary["$title/$label/cpu"]="$cpu"
    summary["$title/$label/rss"]="$rm"
    summary["$title/$label/rss_bytes"]="$rss"
  done <<<"$result"
  local show_wall mutool_wall write_wall
  show_wall="${summary[$title/vellox --show/wall]}"
  mutool_wall="${summary[$title/mutool/wall]}"
  write_wall="${summary[$title/durable-write/wall]}"
  summary["$title/reading"]="$(ratio "$show_wall" "$mutool_wall")"
  summary["$title/converting"]="$(ratio "$v_wall" "$(awk -v a="$mutool_wall" -v b="$write_wall" \
    'BEGIN { print a + b }')")"
  echo "reading, vellox --show / mutool:               ${summary[$title/reading]}"
  echo "converting, vellox / (mutool + durable write): ${summary[$title/converting]}"
  local counts
  counts="$(read_counts "$file")"
  summary["$title/reads"]="$counts"
  echo "vellox --show reads:                           $counts"
  echo "built-in reader: $(builtin_reads "$file")"
}

compare "20k classic" "$big_runs" "$pdfs/mix-20000.pdf"
compare "20k objstm" "$big_runs" "$pdfs/mix-20000-objstm.pdf"
compare "typical" "$small_runs" "$pdfs/typical.pdf"
compare "typical AES-128" "$small_runs" "$pdfs/typical-aes128.pdf"
compare "typical AES-256" "$small_runs" "$pdfs/typical-aes256.pdf"
[ -z "$scanned" ] || compare "scanned" "$scan_runs" "$pdfs/$scanned.pdf"
[ -z "$scanned_table" ] || compare "scanned, xref table" "$scan_runs" "$pdfs/$scanned_table.pdf"
for file in "${extra[@]}"; do
  # A copy, so that the .pdr lands here and not beside the given file.
  copy="$out/given/$(basename "$file")"
  mkdir -p "$out/given"
  cp "$file" "$copy"
  compare "given" "$small_runs" "$copy"
done

echo
scale_files=(mix-2000 mix-20000)
[ $quick = 1 ] || scale_files+=(mix-200000)
echo "== scaling: vellox alone, 10x pages and items per step, median of $scale_runs runs"
args=()
for name in "${scale_files[@]}"; do args+=("$name" "$vellox" "$pdfs/$name.pdf" ::); done
unset 'args[${#args[@]}-1]'
scale="$("$timeit" --runs "$scale_runs" --warmup 0 "${args[@]}")"
previous=""
previous_cpu=""
printf '%-11s %10s %10s %12s %18s %18s\n' file "wall ms" "cpu ms" "peak RSS MB" "wall/step before" "cpu/step before"
while IFS=$'\t' read -r label n wall low cpu rss maxrss failed; do
  step="" step_cpu=""
  if [ -n "$previous" ]; then
    step="$(ratio "$wall" "$previous")"
    step_cpu="$(ratio "$cpu" "$previous_cpu")"
    summary["scaling/$label"]="$step"
    summary["scaling-cpu/$label"]="$step_cpu"
  fi
  printf '%-11s %10s %10s %12s %18s %18s\n' "$label" "$(ms "$wall")" "$(ms "$cpu")" "$(mb "$rss")" \
    "$step" "$step_cpu"
  previous="$wall"
  previous_cpu="$cpu"
done <<<"$scale"

echo
echo "== folder mode: $folder_size typical PDFs (200-500 pages, 100-300 items, object streams)"
folder="$pdfs/folder-$folder_size"
if [ ! -f "$folder/.complete" ] || [ "$pdfgen" -nt "$folder/.complete" ]; then
  rm -rf "$folder"
  mkdir -p "$folder"
  for ((i = 0; i < folder_size; ++i)); do
    pages=$((200 + (i * 37) % 301))
    items=$((100 + (i * 53) % 201))
    "$pdfgen" --pages "$pages" --items "$items" --depth 3 --fanout 6 --dests hyperref \
      --anchors 3 --object-streams 1 --out "$(printf '%s/book-%03d.pdf' "$folder" "$i")"
  done
  touch "$folder/.complete"
fi
largest="$(ls -S "$folder"/*.pdf | awk 'NR == 1')"  # awk reads all: no SIGPIPE under pipefail
folder_result="$("$timeit" --runs "$folder_runs" --warmup 0 \
  folder-j1 "$vellox" "$folder" -j 1 :: \
  folder "$vellox" "$folder" :: \
  single-runs bash -c 'for f in "$1"/*.pdf; do "$0" "$f" >/dev/null || exit 1; done' "$vellox" "$folder" :: \
  largest "$vellox" "$largest")"
f_single="$(awk -F'\t' '$1 == "single-runs" { print $3 }' <<<"$folder_result")"
f_largest_rss="$(awk -F'\t' '$1 == "largest" { print $6 }' <<<"$folder_result")"
printf '%-34s %10s %12s %14s %16s\n' run "wall ms" "peak RSS MB" "time/single" "RSS/largest doc"
while IFS=$'\t' read -r label n wall low cpu rss maxrss failed; do
  case "$label" in
    folder-j1) name="vellox FOLDER -j 1" ;;
    folder) name="vellox FOLDER ($(nproc) threads)" ;;
    single-runs) name="$folder_size x vellox FILE" ;;
    largest) name="vellox FILE, largest ($(basename "$largest"))" ;;
  esac
  printf '%-34s %10s %12s %14s %16s\n' "$name" "$(ms "$wall")" "$(mb "$rss")" \
    "$(ratio "$wall" "$f_single")" "$(ratio "$rss" "$f_largest_rss")"
  summary["folder/$label/time"]="$(ratio "$wall" "$f_single")"
done <<<"$folder_result"

# The per-file target's real PDFs, when the documentation packages are
# there.
if [ -n "$(find "$doc_corpus" -iname '*.pdf' -print -quit 2>/dev/null)" ]; then
  time_corpus "$doc_corpus" "$doc_sample"
else
  echo
  echo "== no PDFs below $doc_corpus: install some with bash scripts/install-deps.sh --bench-corpus"
  corpus_show_median=""
  corpus_floor_median=""
fi

echo
echo "== targets"
# check DESCRIPTION VALUE LIMIT [FLOOR]: "met", or by how much the value
# passes the limit, with FLOOR, the measurement that sets how low it goes.
check() {
  local verdict
  verdict="$(awk -v v="$2" -v l="$3" 'BEGIN {
    if (v == "" || v == "-") print "n/a"
    else if (v + 0 <= l + 0) print "met"
    else printf "NOT met: %.0f%% over\n", (v / l - 1) * 100 }')"
  printf '%-64s %8s  (limit %s)  %s\n' "$1" "${2:--}" "$3" "$verdict"
  if [ "${verdict#NOT}" != "$verdict" ] && [ -n "${4:-}" ]; then printf '    floor: %s\n' "$4"; fi
}
# bytes_read TITLE: the megabytes vellox --show read in case TITLE.
bytes_read() {
  awk -v c="${summary[$1/reads]:-}" 'BEGIN { if (split(c, f, " ") >= 3 && f[3] + 0 == f[3]) printf "%.2f", f[3] / 1048576 }'
}
# cpu_note TITLE: vellox's and mutool's CPU time in case TITLE, how vellox
# read, and what of mutool's time starting a program that does nothing takes.
cpu_note() {
  echo "CPU time, vellox --show $(ms "${summary[$1/vellox --show/cpu]:-0}") ms, mutool" \
    "$(ms "${summary[$1/mutool/cpu]:-0}") ms (ratio $(ratio "${summary[$1/vellox --show/cpu]:-0}" \
    "${summary[$1/mutool/cpu]:-0}")); reads: ${summary[$1/reads]:-}; a program that does" \
    "nothing takes $(ratio "${summary[$1/start/wall]:-0}" "${summary[$1/mutool/wall]:-0}") of" \
    "mutool's time; the rest is parsing the objects the outline needs (and inflating them)"
}
check "20k classic: reading, vellox --show / mutool time" "${summary[20k classic/reading]}" 0.3
check "20k classic: converting, vellox / (mutool + durable write)" \
  "${summary[20k classic/converting]}" 0.3
check "20k classic: vellox/mutool peak memory" "${summary[20k classic/mutool/rss]}" 1
check "20k object streams: reading, vellox --show / mutool time" "${summary[20k objstm/reading]}" 0.5
check "20k object streams: converting, vellox / (mutool + durable write)" \
  "${summary[20k objstm/converting]}" 0.5
check "20k object streams: vellox/mutool peak memory" "${summary[20k objstm/mutool/rss]}" 1
check "typical (object streams): reading, vellox --show / mutool time" "${summary[typical/reading]}" 0.5
check "typical: converting, vellox / (mutool + durable write)" "${summary[typical/converting]}" 0.5
for aes in AES-128 AES-256; do
  check "typical, $aes: reading, vellox --show / mutool time" "${summary[typical $aes/reading]}" 0.5
  check "typical, $aes: converting, vellox / (mutool + durable write)" \
    "${summary[typical $aes/converting]}" 0.5
done
for title in scanned "scanned, xref table"; do
  [ -n "${summary[$title/reading]:-}" ] || continue
  check "$title book: MB read by vellox" "$(bytes_read "$title")" 4
  check "$title book: reading, vellox --show / mutool time" "${summary[$title/reading]}" 0.3 \
    "$(cpu_note "$title")"
  check "$title book: converting, vellox / (mutool + durable write)" \
    "${summary[$title/converting]}" 0.5
  check "$title book: vellox peak memory, MB" "$(mb "${summary[$title/vellox/rss_bytes]:-0}")" 30
done
check "start-up: vellox --version / a bare C program, time" "${summary[startup/vellox]:-}" 1.3 \
  "a program that loads what vellox loads at start (zlib) and does nothing takes $(
  echo "${summary[startup/hello_zlib]:-}")x the bare C program"
check "$doc_sample real PDFs: median vellox --show / mutool time" "$corpus_show_median" 0.3 \
  "a program that does nothing takes a median $corpus_floor_median of mutool's time on them"
check "scaling 2k -> 20k: time ratio" "${summary[scaling/mix-20000]:-}" 11
check "  the same in CPU time" "${summary[scaling-cpu/mix-20000]:-}" 11
if [ $quick = 0 ]; then
  check "scaling 20k -> 200k: time ratio" "${summary[scaling/mix-200000]:-}" 11
  check "  the same in CPU time" "${summary[scaling-cpu/mix-200000]:-}" 11
fi
check "folder, one thread: time / single runs" "${summary[folder/folder-j1/time]}" 1
}

main "$@"
