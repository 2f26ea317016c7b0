#!/usr/bin/env bash
# Times the report tool's three digests of one large file against the same three digests from
# coreutils (md5sum, sha1sum, sha256sum in sequence) and from OpenSSL (openssl dgst -md5, -sha1,
# -sha256 in sequence), alternating the three in every round, and prints the medians, the
# ratios and the report tool's peak memory.
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
printf 'ratio to openssl:   wall %.3f, processor %.3f  (bar: at most 0.95)\n' \
  "$(ratio "$(median "${w_ours[@]}")" "$(median "${w_ossl[@]}")")" "$(ratio "$(median "${c_ours[@]}")" "$(median "${c_ossl[@]}")")"
printf 'ratio to coreutils: wall %.3f, processor %.3f  (bar: at most 0.40)\n' \
  "$(ratio "$(median "${w_ours[@]}")" "$(median "${w_core[@]}")")" "$(ratio "$(median "${c_ours[@]}")" "$(median "${c_core[@]}")")"
printf 'report tool peak memory: %d KiB (bar: under 16384)\n' "$peak_kib"
