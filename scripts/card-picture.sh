#!/usr/bin/env bash
# Makes the README's card picture with the real program: a fresh copy of the tool on the
# headless display asks a bundled profile service of its own (on a free port) for the demo
# member 张三, makes the card and takes it from the screen; the BMP becomes a PNG through
# quorlin-picture. Usage: scripts/card-picture.sh [OUT.png] (default docs/card.png).
# QUORLIN_BUILD=DIR uses the programs already built in DIR instead of building them.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/card.png}

if [[ -n ${QUORLIN_BUILD:-} ]]; then
  build=$QUORLIN_BUILD
else
  scripts/install-deps.sh
  scripts/build.sh release quorlin quorlin-profile-service quorlin-picture >/dev/null
  build=build/release
fi

work=$(mktemp -d)
service_pid=
finish() {
  [[ -z $service_pid ]] || { kill -TERM "$service_pid" 2>/dev/null; wait "$service_pid" 2>/dev/null || true; }
  rm -rf "$work"
}
trap finish EXIT

"$build/quorlin-profile-service" --port 0 >"$work/service.log" 2>&1 &
service_pid=$!
address=
for _ in $(seq 100); do
  address=$(sed -n 's/^listening on //p' "$work/service.log")
  [[ -z $address ]] || break
  sleep 0.1
done
[[ -n $address ]] || { echo "card-picture.sh: the profile service did not start" >&2; exit 1; }

cp "$build/quorlin" "$work/quorlin"
printf 'focus 编辑框1\ntype 张三\nclick 按钮1\nshot card.bmp 画板2\n' >"$work/scenario.txt"
transcript=$(QUORLIN_DISPLAY=headless QUORLIN_SCENARIO="$work/scenario.txt" QUORLIN_PROFILE_HOST="$address" \
  QUORLIN_PORTRAIT_HOST="$address" "$work/quorlin")
if [[ $transcript != *"exit 0"* || ! -s $work/card.bmp ]]; then
  echo "card-picture.sh: the program made no card:" >&2
  echo "$transcript" >&2
  exit 1
fi
mkdir -p "$(dirname "$out")"
"$build/quorlin-picture" "$work/card.bmp" "$out"
echo "card-picture.sh: wrote $out"
