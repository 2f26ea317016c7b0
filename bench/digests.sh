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

seconds() { # runs "$@" and prints its wall time in seconds
  local start end
  start=$(date +%s.%N)
  "$@" > /dev/null
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}
ours()      { "$report" "$file"; }
coreutils() { md5sum "$file"; sha1sum "$file"; sha256sum "$file"; }
openssl_()  { openssl dgst -md5 "$file"; openssl dgst -sha1 "$file"; openssl dgst -sha256 "$file"; }

declare -a t_ours t_core t_ossl
for ((i = 0; i < rounds; i++)); do
  t_ours+=("$(seconds ours)")
  t_core+=("$(seconds coreutils)")
  t_ossl+=("$(seconds openssl_)")
done
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
m_ours=$(median "${t_ours[@]}")
m_core=$(median "${t_core[@]}")
m_ossl=$(median "${t_ossl[@]}")
peak_kib=$(/usr/bin/time -f %M "$report" "$file" 2>&1 >/dev/null | tail -n 1)

printf 'file: %d MiB, %d rounds, medians in seconds\n' "$size_mib" "$rounds"
printf '  tallyglass-report (MD5+SHA-1+SHA-256): %.3f\n' "$m_ours"
printf '  coreutils md5sum+sha1sum+sha256sum:    %.3f\n' "$m_core"
printf '  openssl dgst -md5,-sha1,-sha256:       %.3f\n' "$m_ossl"
printf 'ratio to openssl:   %.3f  (bar: at most 0.95)\n' "$(echo "$m_ours / $m_ossl" | bc -l)"
printf 'ratio to coreutils: %.3f  (bar: at most 0.40)\n' "$(echo "$m_ours / $m_core" | bc -l)"
printf 'report tool peak memory: %d KiB (bar: under 16384)\n' "$peak_kib"
