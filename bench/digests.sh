#!/usr/bin/env bash
# Times the report tool's three digests of one large file against the same three digests from
# coreutils (md5sum, sha1sum, sha256sum in sequence) and from OpenSSL (openssl dgst -md5, -sha1,
# -sha256 in sequence), alternating the three in every round, and prints the medians, the
# ratios and the report tool's peak memory. Beside them it prints the in-memory limit: the time
# the three digests take over the file's bytes already in memory, from `openssl speed -evp` at
# the report tool's block size, measured in the same run; the report tool reads while it
# digests, so at best it matches that limit. Run as root, it also times each contender once
# from a cold page cache (the cache is dropped before each).
#
#   bench/digests.sh [SIZE_MIB] [ROUNDS]     (defaults: 1024 MiB, 5 rounds)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
size_mib=${1:-1024}
rounds=${2:-5}
report="$here/build/tallyglass-report"
[ -x "$report" ] || { echo "build first: scripts/build" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
file="$work/random.bin"
head -c "$((size_mib * 1024 * 1024))" /dev/urandom > "$file"
# One untimed pass puts the file in the page cache, so every contender reads it from memory.
cat "$file" > /dev/null

# Wall time and processor time (user + system) of one run, "wall cpu". The processor time is
# the steadier measure on a machine that is busy with other work.
measure() {
  /usr/bin/time -f '%e %U %S' "$@" 2>&1 >/dev/null | tail -n 1 | awk '{printf "%s %.2f\n", $1, $2 + $3}'
}
ours="$report $file"
coreutils="md5sum $file; sha1sum $file; sha256sum $file"
openssl_="openssl dgst -md5 $file; openssl dgst -sha1 $file; openssl dgst -sha256 $file"

# The in-memory limit: size / speed for each algorithm, at the digest's 64 KiB block.
block=65536
limit=0
for algorithm in md5 sha1 sha256; do
  kbps=$(openssl speed -evp "$algorithm" -bytes "$block" -seconds 2 2>/dev/null | awk -v a="$algorithm" '$1 == a { sub(/k$/, "", $2); print $2 }')
  limit=$(echo "$limit + $size_mib * 1048576 / ($kbps * 1000)" | bc -l)
done

declare -a w_ours w_core w_ossl c_ours c_core c_ossl
for ((i = 0; i < rounds; i++)); do
  read -r w c < <(measure sh -c "$ours");      w_ours+=("$w"); c_ours+=("$c")
  read -r w c < <(measure sh -c "$coreutils"); w_core+=("$w"); c_core+=("$c")
  read -r w c < <(measure sh -c "$openssl_");  w_ossl+=("$w"); c_ossl+=("$c")
done
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
ratio() { echo "$1 / $2" | bc -l; }
peak_kib=$(/usr/bin/time -f %M "$report" "$file" 2>&1 >/dev/null | tail -n 1)

printf 'file: %d MiB, %d rounds, medians in seconds (wall / processor)\n' "$size_mib" "$rounds"
printf '  tallyglass-report (MD5+SHA-1+SHA-256): %7.3f / %7.3f\n' "$(median "${w_ours[@]}")" "$(median "${c_ours[@]}")"
printf '  coreutils md5sum+sha1sum+sha256sum:    %7.3f / %7.3f\n' "$(median "${w_core[@]}")" "$(median "${c_core[@]}")"
printf '  openssl dgst -md5,-sha1,-sha256:       %7.3f / %7.3f\n' "$(median "${w_ossl[@]}")" "$(median "${c_ossl[@]}")"
printf 'ratio to openssl:   wall %.3f, processor %.3f  (bar: wall at most 0.85)\n' \
  "$(ratio "$(median "${w_ours[@]}")" "$(median "${w_ossl[@]}")")" "$(ratio "$(median "${c_ours[@]}")" "$(median "${c_ossl[@]}")")"
printf 'ratio to coreutils: wall %.3f, processor %.3f  (bar: at most 0.40)\n' \
  "$(ratio "$(median "${w_ours[@]}")" "$(median "${w_core[@]}")")" "$(ratio "$(median "${c_ours[@]}")" "$(median "${c_core[@]}")")"
printf '  in-memory limit (openssl speed -evp, %d-byte blocks): %7.3f\n' "$block" "$limit"
printf 'ratio to the in-memory limit: wall %.3f, processor %.3f  (bar: wall at most 1.05 on 2 cores)\n' \
  "$(ratio "$(median "${w_ours[@]}")" "$limit")" "$(ratio "$(median "${c_ours[@]}")" "$limit")"

# One core: the reading thread and the digest then take turns, which must cost nothing.
if command -v taskset >/dev/null; then
  read -r one_ours _ < <(measure taskset -c 0 sh -c "$ours")
  read -r one_ossl _ < <(measure taskset -c 0 sh -c "$openssl_")
  printf 'one core, one run each, wall seconds: tallyglass-report %.3f, openssl %.3f (ratio %.3f, bar: at most 1.0)\n' \
    "$one_ours" "$one_ossl" "$(ratio "$one_ours" "$one_ossl")"
fi
printf 'report tool peak memory: %d KiB (bar: under 16384)\n' "$peak_kib"

# Cold cache: each contender once, the page cache dropped before it.
if [ "$(id -u)" -eq 0 ] && [ -w /proc/sys/vm/drop_caches ]; then
  cold() { sync; echo 3 > /proc/sys/vm/drop_caches; measure sh -c "$1" | awk '{print $1}'; }
  cold_ours=$(cold "$ours"); cold_core=$(cold "$coreutils"); cold_ossl=$(cold "$openssl_")
  printf 'cold cache, one run each, wall seconds: tallyglass-report %.3f, coreutils %.3f, openssl %.3f (ratio to openssl %.3f)\n' \
    "$cold_ours" "$cold_core" "$cold_ossl" "$(ratio "$cold_ours" "$cold_ossl")"
else
  echo 'cold cache: not measured (needs root to drop the page cache)'
fi
