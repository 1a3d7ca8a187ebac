#!/usr/bin/env bash
# Times vellox against qpdf and mutool on synthetic PDFs (and on any PDF
# given on the command line), side by side in one run, and prints per file
# each tool's median wall time, CPU time and peak memory with the ratios.
#
#   bash bench/run.sh [--quick] [FILE.pdf ...]
#   bash bench/run.sh [--quick] --corpus DIR
#
# Needs what `bash scripts/install-deps.sh --bench` installs.
# Builds vellox (Release) and the benchmark's tools under build-bench/
# (BENCH_DIR to change), writes the PDFs there, and reuses them on later
# runs. --quick: fewer runs, no 200,000-page file, a smaller folder and a
# 300 MB scanned book instead of the 1.5 GB one.
# --corpus DIR: instead of the synthetic cases, every PDF below DIR, one
# line each, then the spread of the vellox/mutool time ratio.
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
extra=()
while [ $# -gt 0 ]; do
  case "$1" in
    --quick) quick=1 ;;
    --corpus)
      [ $# -ge 2 ] && [ -d "$2" ] || { echo "--corpus needs a folder" >&2; exit 2; }
      corpus="$(realpath "$2")"
      shift ;;
    -h|--help) sed -n '2,19p' "$0"; exit 0 ;;
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
  scan_pages=120
else
  big_runs=5; small_runs=21; scale_runs=5; folder_size=300; folder_runs=3; corpus_runs=5
  scan_pages=600
fi
scan_image_bytes=2500000  # a 300 dpi greyscale A4 scan as JPEG

echo "== building (Release) in $out"
vellox_build "$out/vellox" -DCMAKE_BUILD_TYPE=Release -DVELLOX_BUILD_TESTS=OFF >/dev/null
vellox_build "$out/tools" -S "$repo_root/bench" -DCMAKE_BUILD_TYPE=Release >/dev/null
vellox="$out/vellox/vellox"
pdfgen="$out/tools/pdfgen"
timeit="$out/tools/timeit"
floor="$out/tools/qpdf_floor"
hello="$out/tools/hello_zlib"
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

# time_corpus DIR: every PDF below DIR (any letter case), timed with vellox,
# qpdf's outline dump and mutool's, one line each; then the spread of the
# vellox/mutool time ratio, the worst file, the files where vellox is the
# slower one and those the built-in reader leaves to the qpdf fallback.
# vellox reads each through a link in the build folder, so that its .pdr
# lands there and not in DIR.
time_corpus() {
  local dir="$1" links="$out/corpus-links" table="$out/corpus.tsv"
  local files=()
  mapfile -d '' files < <(find "$dir" -type f -iname '*.pdf' -print0 | sort -z)
  echo
  echo "== corpus: ${#files[@]} PDFs below $dir, median of $corpus_runs runs each"
  [ ${#files[@]} -gt 0 ] || return 0
  rm -rf "$links"
  mkdir -p "$links"
  : >"$table"
  printf '%10s %10s %10s %10s %9s %9s %9s %-22s %s\n' "size KB" "vellox ms" "qpdf ms" \
    "mutool ms" "v/mutool" "vellox MB" "mutool MB" "built-in reader" file
  local i=0 file link result
  for file in "${files[@]}"; do
    i=$((i + 1))
    link="$(printf '%s/%05d.pdf' "$links" "$i")"
    ln -s "$file" "$link"
    result="$("$timeit" --runs "$corpus_runs" \
      vellox "$vellox" "$link" :: \
      qpdf qpdf --json --json-key=outlines "$link" :: \
      mutool mutool show "$link" outline)"
    local fallback v_failed m_failed
    fallback="$(builtin_reads "$link")"
    v_failed="$(awk -F'\t' '$1 == "vellox" { print $8 }' <<<"$result")"
    m_failed="$(awk -F'\t' '$1 == "mutool" { print $8 }' <<<"$result")"
    [ "$v_failed" = 0 ] || fallback="vellox fails"
    awk -F'\t' -v file="$file" -v size="$(stat -L -c %s "$file")" -v fallback="$fallback" \
      -v m_failed="$m_failed" '
      { wall[$1] = $3; rss[$1] = $6 }
      END {
        r = wall["mutool"] > 0 ? wall["vellox"] / wall["mutool"] : 0
        printf "%d\t%.1f\t%.1f\t%.1f\t%.3f\t%.1f\t%.1f\t%s%s\t%s\n", size / 1024,
          wall["vellox"] * 1000, wall["qpdf"] * 1000, wall["mutool"] * 1000, r,
          rss["vellox"] / 1024, rss["mutool"] / 1024, fallback,
          (m_failed > 0 ? ", mutool fails" : ""), file
      }' <<<"$result" | tee -a "$table" |
      awk -F'\t' '{ printf "%10s %10s %10s %10s %9s %9s %9s %-22s %s\n",
                    $1, $2, $3, $4, $5, $6, $7, $8, $9 }'
  done
  rm -rf "$links"

  echo
  echo "== corpus summary (vellox/mutool wall-time ratio; table in $table)"
  sort -t$'\t' -k5,5g "$table" | awk -F'\t' '
    { ratio[NR] = $5; file[NR] = $9
      if ($5 > 1) slower++
      if ($8 ~ /^falls back/) fallback++
      if ($8 ~ /^vellox fails/) failing++
      vellox += $2; mutool += $4 }
    END {
      n = NR
      printf "files:                               %d\n", n
      printf "median ratio:                        %.3f\n", ratio[int((n + 1) / 2)]
      p90 = int(0.9 * n + 0.999999); if (p90 < 1) p90 = 1
      printf "p90 ratio:                           %.3f\n", ratio[p90]
      printf "worst:                               %.3f  %s\n", ratio[n], file[n]
      printf "vellox slower than mutool:           %d of %d\n", slower, n
      printf "left to the qpdf fallback (built-in reader fails): %d\n", fallback
      printf "vellox fails (any reader):           %d\n", failing
      printf "total time, vellox / mutool:         %.0f / %.0f ms\n", vellox, mutool
    }'
}

echo
echo "== start-up: each program doing nothing, median of $small_runs runs"
"$timeit" --runs "$small_runs" vellox "$vellox" --version :: hello_zlib "$hello" :: \
  mutool mutool -v :: qpdf qpdf --version :: true /bin/true |
  while IFS=$'\t' read -r label n wall low cpu rss maxrss failed; do
    case "$label" in
      vellox) name="vellox --version" ;;
      hello_zlib) name="C++ with zlib, empty (bench/hello_zlib)" ;;
      mutool) name="mutool -v" ;;
      qpdf) name="qpdf --version" ;;
      true) name="/bin/true" ;;
    esac
    printf '%-42s %8s ms  %6s MB\n' "$name" "$(ms "$wall")" "$(mb "$rss")"
  done

if [ -n "$corpus" ]; then
  time_corpus "$corpus"
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
# A scanned book: a large image per page, a modest outline, the small
# objects in object streams. Written as it is made, so disk is the limit.
scan_mb=$((scan_pages * scan_image_bytes / 1000000))
scanned="scanned-${scan_mb}mb"
if [ ! -f "$pdfs/$scanned.pdf" ] || [ "$pdfgen" -nt "$pdfs/$scanned.pdf" ]; then
  free_mb="$(df --output=avail -BM "$pdfs" | awk 'NR == 2 { print $1 + 0 }')"
  if [ "$free_mb" -lt $((scan_mb + 2048)) ]; then
    echo "only $free_mb MB free in $pdfs: no $scanned.pdf (needs $scan_mb MB and 2 GB to spare)"
    scanned=""
  else
    make_pdf "$scanned" --pages "$scan_pages" --items 200 --depth 3 --fanout 6 --dests hyperref \
      --anchors 1 --object-streams 1 --image-bytes "$scan_image_bytes"
  fi
fi

declare -A summary

# compare TITLE RUNS FILE: vellox (as it reads by default, and through
# qpdf alone), qpdf, mutool and the two qpdf floors on FILE, interleaved;
# prints the table and keeps the ratios in `summary`.
# floor-items: qpdf reading the outline items alone; floor-dests: and the
# destination objects they lead to (listed beforehand, untimed): what any
# reader over qpdf must at least parse.
compare() {
  local title="$1" runs="$2" file="$3"
  echo
  echo "== $title: $(basename "$file") ($(du -h "$file" | cut -f1)), median of $runs runs"
  local list="${file%.pdf}.destinations"
  "$floor" --list "$file" >"$list"
  local result
  result="$("$timeit" --runs "$runs" \
    vellox "$vellox" "$file" :: \
    "vellox(qpdf)" VELLOX_READER=qpdf "$vellox" "$file" :: \
    qpdf qpdf --json --json-key=outlines "$file" :: \
    mutool mutool show "$file" outline :: \
    floor-items "$floor" "$file" :: \
    floor-dests "$floor" --objects "$list" "$file")"
  local v_wall v_rss
  v_wall="$(awk -F'\t' '$1 == "vellox" { print $3 }' <<<"$result")"
  v_rss="$(awk -F'\t' '$1 == "vellox" { print $6 }' <<<"$result")"
  printf '%-12s %10s %10s %12s %14s %14s %s\n' tool "wall ms" "cpu ms" "peak RSS MB" \
    "vellox/tool t" "vellox/tool M" "failed runs"
  while IFS=$'\t' read -r label n wall low cpu rss maxrss failed; do
    local rt="" rm=""
    if [ "$label" != vellox ]; then rt="$(ratio "$v_wall" "$wall")"; rm="$(ratio "$v_rss" "$rss")"; fi
    printf '%-12s %10s %10s %12s %14s %14s %s\n' "$label" "$(ms "$wall")" "$(ms "$cpu")" \
      "$(mb "$rss")" "$rt" "$rm" "$failed"
    summary["$title/$label/time"]="$rt"
    summary["$title/$label/wall"]="$wall"
    summary["$title/$label/rss"]="$rm"
    summary["$title/$label/rss_bytes"]="$rss"
  done <<<"$result"
  echo "built-in reader: $(builtin_reads "$file")"
}

compare "20k classic" "$big_runs" "$pdfs/mix-20000.pdf"
compare "20k objstm" "$big_runs" "$pdfs/mix-20000-objstm.pdf"
compare "typical" "$small_runs" "$pdfs/typical.pdf"
compare "typical AES-128" "$small_runs" "$pdfs/typical-aes128.pdf"
compare "typical AES-256" "$small_runs" "$pdfs/typical-aes256.pdf"
[ -z "$scanned" ] || compare "scanned" 3 "$pdfs/$scanned.pdf"
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

# ratio_of TITLE A B: A's median time over B's in case TITLE.
ratio_of() { ratio "${summary[$1/$2/wall]:-0}" "${summary[$1/$3/wall]:-0}"; }

echo
echo "== targets"
check() {  # check DESCRIPTION VALUE LIMIT
  local verdict
  verdict="$(awk -v v="$2" -v l="$3" 'BEGIN { if (v == "" || v == "-") print "n/a"; else if (v + 0 <= l + 0) print "met"; else print "NOT met" }')"
  printf '%-58s %8s  (limit %s)  %s\n' "$1" "${2:--}" "$3" "$verdict"
}
check "20k classic: vellox/mutool time" "${summary[20k classic/mutool/time]}" 0.3
check "20k classic: vellox/mutool peak memory" "${summary[20k classic/mutool/rss]}" 1
check "20k object streams: vellox/mutool time" "${summary[20k objstm/mutool/time]}" 0.5
check "20k object streams: vellox/mutool peak memory" "${summary[20k objstm/mutool/rss]}" 1
check "typical (object streams): vellox/mutool time" "${summary[typical/mutool/time]}" 0.5
check "typical, AES-128: vellox/mutool time" "${summary[typical AES-128/mutool/time]}" 0.5
check "typical, AES-256: vellox/mutool time" "${summary[typical AES-256/mutool/time]}" 0.5
if [ -n "$scanned" ]; then
  check "scanned book: vellox/mutool time" "${summary[scanned/mutool/time]}" 0.5
  check "scanned book: vellox peak memory, MB" "$(mb "${summary[scanned/vellox/rss_bytes]:-0}")" 30
fi
check "scaling 2k -> 20k: time ratio" "${summary[scaling/mix-20000]:-}" 11
check "  the same in CPU time" "${summary[scaling-cpu/mix-20000]:-}" 11
if [ $quick = 0 ]; then
  check "scaling 20k -> 200k: time ratio" "${summary[scaling/mix-200000]:-}" 11
  check "  the same in CPU time" "${summary[scaling-cpu/mix-200000]:-}" 11
fi
check "folder, one thread: time / single runs" "${summary[folder/folder-j1/time]}" 1
}

main "$@"
