#!/usr/bin/env bash
# The real program under Xvfb with a window manager, started on a 16 GiB sparse file whose MD5
# alone takes far longer than this test: the window must be mapped while the digest runs, and
# the way of ending named by MODE must end the process with status 0 within 5 seconds.
#
#   end_during_digest.sh PROGRAM MODE     MODE: exit (the Exit button), close (the window
#                                         manager's close request), altf4 (Alt+F4)
set -euo pipefail
program=$1
mode=$2

if [ -z "${TALLYGLASS_IN_XVFB:-}" ]; then
  for tool in xvfb-run xdotool wmctrl openbox xwininfo xprop; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/deps installs it)"; exit 77; }
  done
  export TALLYGLASS_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$0" "$@"
fi

fail() { echo "FAIL: $*" >&2; exit 1; }
now() { date +%s.%N; }
within() { awk -v a="$1" -v b="$2" -v limit="$3" 'BEGIN { exit !(b - a <= limit) }'; }

work=$(mktemp -d)
pid=""
wm=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME="$work/config" HOME="$work" QT_QPA_PLATFORM=xcb
file="$work/huge.bin"
truncate -s 16G "$file"

openbox --sm-disable >"$work/wm.log" 2>&1 &
wm=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done

started=$(now)
"$program" "$file" >"$work/out.log" 2>&1 &
pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Corvane Tallyglass$' | head -n 1) ||
  fail "no window within 20 s"
mapped=$(now)
xwininfo -id "$wid" | grep -q 'Map State: IsViewable' || fail "window not viewable"
# The digest is still reading the file, or starts to once the window is up: the window came
# up before MD5 was done. On a busy machine the window can be mapped before MD5 opens the file.
reading=""
for _ in $(seq 100); do
  if ls -l "/proc/$pid/fd" 2>/dev/null | grep -q "$file"; then reading=1; break; fi
  sleep 0.1
done
[ -n "$reading" ] || fail "window mapped only after the digests"
echo "window mapped $(awk -v a="$started" -v b="$mapped" 'BEGIN { printf "%.2f", b - a }') s after start"
sleep 0.5

asked=$(now)
case "$mode" in
  exit)
    # The Exit button: 3600, 7200 twips, 1215 x 375, so its middle is at 280, 492 pixels.
    xdotool mousemove --window "$wid" 280 492 click 1 ;;
  close)
    wmctrl -i -c "$wid" ;;
  altf4)
    xdotool windowactivate --sync "$wid" 2>/dev/null || xdotool windowfocus --sync "$wid"
    xdotool key alt+F4 ;;
  *) fail "unknown mode $mode" ;;
esac
status=0
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "still running 5 s after the request"
wait "$pid" || status=$?
ended=$(now)
pid=""
echo "ended $(awk -v a="$asked" -v b="$ended" 'BEGIN { printf "%.2f", b - a }') s after the request, status $status"
within "$asked" "$ended" 5 || fail "took longer than 5 s"
[ "$status" -eq 0 ] || { cat "$work/out.log"; fail "exit status $status"; }
