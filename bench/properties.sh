#!/usr/bin/env bash
# Document properties of every corpus file, many times over, and of one compound file of
# 1 GiB built for the purpose, then of each RTF file on its own: our reader against ExifTool's library in one run, both timed
# inside their own process (no start-up), with the bytes each process read.
# Usage: bench/properties.sh [ROUNDS]   (default 300)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here/.."
rounds="${1:-300}"
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
