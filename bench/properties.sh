#!/usr/bin/env bash
# Document properties of every corpus file, many times over, and of one compound file of
# 1 GiB built for the purpose: our reader against ExifTool's library in one run, both timed
# inside their own process (no start-up), with the bytes each process read. Then each RTF file
# on its own, every PDF of the corpus and a sparse PDF of 1 GiB file by file, against ExifTool
# (and pdfinfo for the PDFs).
# Usage: bench/properties.sh [ROUNDS] [pdf]   (default 300; "pdf" runs the PDF part alone)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here/.."
rounds="${1:-300}"
only="${2:-}"
peer_rounds=$(( rounds / 10 > 0 ? rounds / 10 : 1 ))

cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALLYGLASS_GUI=OFF \
  -DTALLYGLASS_TESTS=OFF >/dev/null
cmake --build build-bench --target properties_bench >/dev/null
bench=build-bench/properties_bench

files=()
for dir in tests/data/ole tests/data/ooxml tests/data/odf; do
  [ -d "$dir" ] || continue
  for f in "$dir"/*; do
    case "$f" in *.tsv|*.TSV|*.md|*.txt|*.report) continue ;; esac
    files+=("$f")
  done
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
large="$work/large.doc"
if ! "$bench" --make-large "$large"; then
  echo "the disk refused a sparse file of 1 GiB; the large file is left out" >&2
  large=""
fi

# ExifTool's library in one Perl process: the same files, ROUNDS/10 times (it is slower).
peer() {
  local n="$1"; shift
  perl -MImage::ExifTool -MTime::HiRes=time -e '
    my $n = shift; my @files = @ARGV; my $t0 = time;
    for (1 .. $n) { for my $f (@files) { my $e = Image::ExifTool->new; $e->Options(FastScan => 1);
      $e->ImageInfo($f, "FlashPix:*", "XMP:*", "XML:*", "Document:*"); } }
    my $s = time - $t0; my %io;
    open my $io, "<", "/proc/self/io"; while (<$io>) { $io{$1} = $2 if /^(\w+):\s+(\d+)/ }
    printf "files=%d rounds=%d seconds=%.3f us_per_file=%.1f rchar=%d read_bytes=%d\n",
      scalar @files, $n, $s, $s * 1e6 / ($n * @files), $io{rchar}, $io{read_bytes};
  ' "$n" "$@"
}

field() { sed -n "s/.*\b$1=\([0-9.]*\).*/\1/p"; }

if [ "$only" != pdf ]; then

echo "== corpus: ${#files[@]} files"
ours=$("$bench" "$rounds" "${files[@]}")
theirs=$(peer "$peer_rounds" "${files[@]}")
echo "ours:     $ours"
echo "exiftool: $theirs"
awk -v a="$(echo "$ours" | field us_per_file)" -v b="$(echo "$theirs" | field us_per_file)" \
  'BEGIN { printf "per file: ours %.1f us, exiftool %.1f us, exiftool/ours = %.1fx\n", a, b, b / a }'

if [ -n "$large" ]; then
  echo "== one compound file of $(stat -c %s "$large") bytes"
  ours=$("$bench" "$rounds" "$large")
  # ExifTool reads the whole file (about 40 s for 1 GiB here), so it gets one round.
  theirs=$(peer 1 "$large")
  echo "ours:     $ours"
  echo "exiftool: $theirs"
  awk -v a="$(echo "$ours" | field us_per_file)" -v b="$(echo "$theirs" | field us_per_file)" \
      -v r="$(echo "$ours" | field bytes_per_file)" -v pr="$(echo "$theirs" | field rchar)" -v pn=1 \
    'BEGIN { printf "per file: ours %.1f us, exiftool %.1f us, exiftool/ours = %.1fx; bytes read per file: ours %.0f, exiftool %.0f\n",
             a, b, b / a, r, pr / pn }'
fi

# RTF files one by one, each against ExifTool's RTF module: the information group is near
# the start, so the ratio shows what reading only the header is worth per file.
rtf_peer() {
  local n="$1"; shift
  perl -MImage::ExifTool -MTime::HiRes=time -e '
    my $n = shift; my $f = shift; my $t0 = time;
    for (1 .. $n) { my $e = Image::ExifTool->new; $e->Options(FastScan => 1); $e->ImageInfo($f, "RTF:*"); }
    my $s = time - $t0; my %io;
    open my $io, "<", "/proc/self/io"; while (<$io>) { $io{$1} = $2 if /^(\w+):\s+(\d+)/ }
    printf "files=1 rounds=%d seconds=%.3f us_per_file=%.1f rchar=%d\n", $n, $s, $s * 1e6 / $n, $io{rchar};
  ' "$n" "$1"
}
rtf_files=(tests/data/rtf/*.rtf)
if [ -e "${rtf_files[0]}" ]; then
  echo "== RTF: ${#rtf_files[@]} files, each on its own"
  printf "%-38s %8s %10s %10s %10s %9s\n" file size ours_us ours_read exif_us exif/ours
  for f in "${rtf_files[@]}"; do
    ours=$("$bench" "$rounds" "$f")
    theirs=$(rtf_peer "$peer_rounds" "$f")
    awk -v f="$(basename "$f")" -v z="$(stat -c %s "$f")" -v a="$(echo "$ours" | field us_per_file)" \
        -v r="$(echo "$ours" | field bytes_per_file)" -v b="$(echo "$theirs" | field us_per_file)" \
      'BEGIN { printf "%-38s %8d %10.1f %10.0f %10.1f %8.1fx\n", f, z, a, r, b, b / a }'
  done
fi
fi

# PDF, file by file. pdfinfo is a program, not a library: it is run once per read, and the cost of
# a run of "pdfinfo -v" (start-up alone, no file) is taken off its time and bytes.
pdfs=()
for f in tests/data/pdf/*.pdf; do pdfs+=("$f"); done
large_pdf="$work/large.pdf"
if "$bench" --make-large-pdf "$large_pdf"; then pdfs+=("$large_pdf"); fi

# ExifTool in one Perl process, per file: microseconds per read and bytes read per read.
peer_pdf() {
  local n="$1"; shift
  perl -MImage::ExifTool -MTime::HiRes=time -e '
    sub rchar { open my $io, "<", "/proc/self/io"; while (<$io>) { return $1 if /^rchar:\s+(\d+)/ } 0 }
    my $n = shift;
    for my $f (@ARGV) { my $r0 = rchar(); my $t0 = time;
      for (1 .. $n) { my $e = Image::ExifTool->new; $e->Options(FastScan => 1); $e->ImageInfo($f, "PDF:*", "XMP:*"); }
      printf "file=%s us_per_file=%.1f bytes_per_file=%.0f\n", $f, (time - $t0) * 1e6 / $n, (rchar() - $r0) / $n; }
  ' "$n" "$@"
}

# pdfinfo, N runs of one file in a subshell; its children's reads are added to its own
# counters when they end.
pdfinfo_runs() {
  local n="$1"; shift
  ( start=$(date +%s%N)
    for ((i = 0; i < n; i++)); do pdfinfo "$@" >/dev/null 2>&1 || true; done
    end=$(date +%s%N)
    while read -r key value; do [ "$key" = "rchar:" ] && rchar=$value; done < "/proc/$BASHPID/io"
    echo "ns=$((end - start)) rchar=$rchar" )
}

pdf_rounds=$(( rounds / 10 > 0 ? rounds / 10 : 1 ))
echo "== PDF, file by file: ours ${pdf_rounds} reads, exiftool and pdfinfo $(( pdf_rounds > 20 ? 20 : pdf_rounds ))"
peer_n=$(( pdf_rounds > 20 ? 20 : pdf_rounds ))
base=$(pdfinfo_runs "$peer_n" -v)
base_ns=$(echo "$base" | field ns); base_rchar=$(echo "$base" | field rchar)
ours_pdf=$("$bench" --per-file "$pdf_rounds" "${pdfs[@]}" | grep '^file=')
# ExifTool gets one round of the large file, as above.
theirs_pdf=$(peer_pdf "$peer_n" "${pdfs[@]:0:${#pdfs[@]}-1}"; peer_pdf 1 "${pdfs[@]: -1}")
printf '%-36s %10s %10s %8s %10s %8s | %10s %10s %10s\n' file ours_us exif_us exif/us pdfinfo_us pi/us \
  ours_bytes exif_bytes pdfinfo_bytes
slower=0
for f in "${pdfs[@]}"; do
  o=$(echo "$ours_pdf" | grep -F "file=$f " | head -1)
  t=$(echo "$theirs_pdf" | grep -F "file=$f " | head -1)
  p=$(pdfinfo_runs "$peer_n" "$f")
  line=$(awk -v name="$(basename "$f")" -v a="$(echo "$o" | field us_per_file)" -v ab="$(echo "$o" | field bytes_per_file)" \
      -v b="$(echo "$t" | field us_per_file)" -v bb="$(echo "$t" | field bytes_per_file)" \
      -v pn="$(echo "$p" | field ns)" -v pr="$(echo "$p" | field rchar)" -v bn="$base_ns" -v br="$base_rchar" -v n="$peer_n" \
    'BEGIN { pu = (pn - bn) / 1000 / n; if (pu < 0) pu = 0; prb = (pr - br) / n; if (prb < 0) prb = 0;
             printf "%-36s %10.1f %10.1f %7.1fx %10.1f %7.1fx | %10.0f %10.0f %10.0f%s\n", substr(name, 1, 36), a, b, b / a,
                    pu, pu / a, ab, bb, prb, (b > a ? "" : "  SLOWER THAN EXIFTOOL") }')
  echo "$line"
  case "$line" in *SLOWER*) slower=$((slower + 1)) ;; esac
done
echo "PDF files slower than exiftool: $slower of ${#pdfs[@]}"
