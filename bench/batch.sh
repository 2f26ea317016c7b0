#!/usr/bin/env bash
# Times the report tool over many files against its peers, in one run: 10,000 files of 4 KiB
# and 200 files of 8 MiB, each set through
#   tallyglass-report --json --jobs 1, and --jobs $(nproc),
#   rhash --md5 --sha1 --sha256 (the three digests in one pass),
#   md5sum; sha1sum; sha256sum,
#   exiftool -json (small set only: it reads properties, not digests),
# and prints the median wall and processor time per file and the ratios.
#
#   bench/batch.sh [SMALL_FILES] [LARGE_FILES] [ROUNDS]     (defaults: 10000 200 3)
#
# The bars: --jobs 2 at most 1.0 x rhash per file on both sets, and at least 20 x faster than
# exiftool per file on the small set. On a machine shared with other work the wall times are
# noisy; the processor times are the steadier measure.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
small_n=${1:-10000}
large_n=${2:-200}
rounds=${3:-3}
report="$here/build/tallyglass-report"
[ -x "$report" ] || { echo "build first: scripts/build" >&2; exit 1; }
for tool in rhash exiftool md5sum bc; do
  command -v "$tool" >/dev/null || { echo "missing $tool: scripts/deps" >&2; exit 1; }
done
jobs=$(nproc)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/small" "$work/large"
head -c $((small_n * 4096)) /dev/urandom | split -a 5 -d -b 4096 - "$work/small/f"
for ((i = 0; i < large_n; i++)); do
  head -c $((8 * 1024 * 1024)) /dev/urandom > "$work/large/f$i"
done
for set in small large; do
  find "$work/$set" -type f -print0 | sort -z > "$work/$set.list"
done
# One untimed pass puts every file in the page cache, so every contender reads from memory.
cat "$work"/small/* "$work"/large/* > /dev/null

# Wall and processor time (user + system, children included) of one shell command, "wall cpu".
# Every contender's standard output and standard error go to /dev/null alike; the times go to a
# file of their own. (Ours writes a line to standard error for each file that is no document;
# sent through a pipe to a reader, as the times once were, each line also cost a wakeup of the
# reading process.)
measure() {
  /usr/bin/time -o "$work/time" -f '%e %U %S' sh -c "$1" >/dev/null 2>&1 || true
  tail -n 1 "$work/time" | awk '{printf "%s %.2f\n", $1, $2 + $3}'
}
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

declare -A wall cpu
run() { # name set command
  local key="$1/$2" w c ws=() cs=()
  for ((r = 0; r < rounds; r++)); do
    read -r w c < <(measure "$3")
    ws+=("$w"); cs+=("$c")
  done
  wall[$key]=$(median "${ws[@]}")
  cpu[$key]=$(median "${cs[@]}")
}

for set in small large; do
  list="$work/$set.list"
  run ours1 "$set" "$report --json --jobs 1 --null --files-from $list"
  run oursN "$set" "$report --json --jobs $jobs --null --files-from $list"
  run rhash "$set" "xargs -0 rhash --md5 --sha1 --sha256 < $list"
  run coreutils "$set" "xargs -0 md5sum < $list; xargs -0 sha1sum < $list; xargs -0 sha256sum < $list"
  if [ "$set" = small ]; then
    run exiftool "$set" "xargs -0 exiftool -json -q < $list"
  fi
done

per_file() { echo "$1 * 1000000 / $2" | bc -l; }
count_of() { [ "$1" = small ] && echo "$small_n" || echo "$large_n"; }
printf 'cores: %d; %d rounds; medians per file in microseconds (wall / processor)\n' "$jobs" "$rounds"
for set in small large; do
  n=$(count_of "$set")
  [ "$set" = small ] && printf '%d files of 4 KiB\n' "$n" || printf '%d files of 8 MiB\n' "$n"
  for name in ours1 oursN rhash coreutils exiftool; do
    key="$name/$set"
    [ -n "${wall[$key]:-}" ] || continue
    case $name in
      ours1) label="tallyglass-report --json --jobs 1";;
      oursN) label="tallyglass-report --json --jobs $jobs";;
      rhash) label="rhash --md5 --sha1 --sha256";;
      coreutils) label="md5sum; sha1sum; sha256sum";;
      exiftool) label="exiftool -json";;
    esac
    printf '  %-38s %12.1f / %12.1f\n' "$label" "$(per_file "${wall[$key]}" "$n")" "$(per_file "${cpu[$key]}" "$n")"
  done
  ratio() { echo "${wall[$1/$set]} / ${wall[$2/$set]}" | bc -l; }
  printf '  ratio --jobs %d / rhash (wall):    %6.3f  (bar: at most 1.0)\n' "$jobs" "$(ratio oursN rhash)"
  printf '  ratio --jobs 1 / rhash (wall):    %6.3f\n' "$(ratio ours1 rhash)"
  printf '  ratio --jobs %d / coreutils (wall): %6.3f\n' "$jobs" "$(ratio oursN coreutils)"
  if [ "$set" = small ]; then
    printf '  exiftool / --jobs %d (wall):       %6.1f  (bar: at least 20)\n' "$jobs" "$(ratio exiftool oursN)"
    printf '  exiftool / --jobs 1 (wall):       %6.1f\n' "$(ratio exiftool ours1)"
  fi
done
