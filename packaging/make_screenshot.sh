#!/bin/sh
# Makes the screenshot the AppStream metainfo shows: the real program, on its in-memory screen,
# makes a card for a member of the demo profile service on a loopback port.
# Usage: make_screenshot.sh PROGRAM PROFILE_SERVICE OUT.png
set -eu
program=$1 service=$2 out=$3
work=$(mktemp -d)
service_pid=
cleanup() {
  [ -z "$service_pid" ] || kill "$service_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$service" --port 0 >"$work/service.log" &
service_pid=$!
tries=0
until grep -q '^listening on ' "$work/service.log"; do
  tries=$((tries + 1))
  if [ $tries -gt 100 ]; then
    echo "make_screenshot: the profile service did not start" >&2
    exit 1
  fi
  sleep 0.1
done
host=$(sed -n 's/^listening on //p' "$work/service.log")

# A folder of its own, so no quorlin.ini of a developer's changes the picture.
mkdir "$work/program"
cp "$program" "$work/program/quorlin"
printf 'focus 编辑框1\ntype quorlin\nclick 按钮1\nshot %s\nquit\n' "$work/shot.png" >"$work/scenario.txt"
# The screen is the main window's size, so the shot is the window. A sanitizer build's leak
# report is the tests' business, not the picture's.
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0} QUORLIN_DISPLAY=headless QUORLIN_SCREEN=586x453 QUORLIN_SCENARIO="$work/scenario.txt" \
  QUORLIN_PROFILE_HOST="$host" QUORLIN_PORTRAIT_HOST="$host" \
  timeout 60 "$work/program/quorlin" >"$work/transcript.txt"
if ! grep -q '^exit 0$' "$work/transcript.txt"; then
  echo "make_screenshot: the program did not finish its scenario:" >&2
  cat "$work/transcript.txt" >&2
  exit 1
fi
mv "$work/shot.png" "$out"
