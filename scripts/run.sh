#!/usr/bin/env bash
# Installs what is missing, builds the release configuration and runs the tool.
#
# When no service host is configured — neither QUORLIN_PROFILE_HOST / QUORLIN_PORTRAIT_HOST nor
# the web keys of the program's quorlin.ini — the tool asks the bundled demo profile service on
# its default address; this script then starts that service for the length of the tool's run
# and stops it when the tool ends (also on Ctrl+C). A program already listening on that port is
# left alone and used as it is.
#
# QUORLIN_BUILD=DIR runs the programs already built in DIR instead: nothing is installed or built.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ -n ${QUORLIN_BUILD:-} ]]; then
  build=$QUORLIN_BUILD
else
  scripts/install-deps.sh
  scripts/build.sh release quorlin quorlin-profile-service >/dev/null
  build=build/release
fi

say() { echo "run.sh: $*"; }

# Whether the web section of the ini file gives profile or portrait a value (names of sections
# and keys without case, blanks around them ignored, as the program reads them).
ini_names_a_host() {
  [[ -f $1 ]] || return 1
  awk '
    { sub(/\r$/, "") }
    /^[ \t]*\[/ {
      name = $0; sub(/^[ \t]*\[/, "", name); sub(/\].*$/, "", name)
      in_web = tolower(name) == "web"; next
    }
    in_web && index($0, "=") > 0 {
      key = substr($0, 1, index($0, "=") - 1); value = substr($0, index($0, "=") + 1)
      gsub(/^[ \t]+|[ \t]+$/, "", key); gsub(/^[ \t]+|[ \t]+$/, "", value)
      if ((tolower(key) == "profile" || tolower(key) == "portrait") && value != "") found = 1
    }
    END { exit !found }' "$1"
}

# Whether an HTTP server at host $1, port $2 answers a profile request within two seconds.
answers() {
  (
    exec 3<>"/dev/tcp/$1/$2" || exit 1
    printf 'GET /home/get/panel?ie=utf-8&un=abc HTTP/1.0\r\nHost: %s:%s\r\n\r\n' "$1" "$2" >&3
    IFS= read -r -t 2 status_line <&3 && [[ $status_line == HTTP/* ]]
  ) 2>/dev/null
}

service_pid=
service_log=
stop_service() {
  if [[ -n $service_pid ]]; then
    kill -TERM "$service_pid" 2>/dev/null || true
    wait "$service_pid" 2>/dev/null || true
    say "stopped the bundled profile service (process $service_pid)"
    service_pid=
  fi
  [[ -z $service_log ]] || rm -f "$service_log"
}
trap stop_service EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

start_service() {
  service_log=$(mktemp)
  "$build/quorlin-profile-service" >"$service_log" 2>&1 &
  service_pid=$!
  local address=
  for _ in $(seq 100); do
    address=$(sed -n 's/^listening on //p' "$service_log")
    [[ -z $address ]] || break
    if ! kill -0 "$service_pid" 2>/dev/null; then
      # It could not listen: another program holds the port, and the tool asks that one.
      wait "$service_pid" 2>/dev/null || true
      service_pid=
      say "the bundled profile service did not start ($(tr -d '\n' <"$service_log")); the tool asks what listens there"
      return
    fi
    sleep 0.1
  done
  if [[ -z $address ]]; then
    say "the bundled profile service did not say it listens; stopping it"
    stop_service
    return
  fi
  for _ in $(seq 50); do
    if answers "${address%:*}" "${address##*:}"; then
      say "started the bundled profile service on $address (process $service_pid)"
      return
    fi
    sleep 0.1
  done
  say "the bundled profile service on $address does not answer"
}

if [[ -z ${QUORLIN_PROFILE_HOST:-} && -z ${QUORLIN_PORTRAIT_HOST:-} ]] && ! ini_names_a_host "$build/quorlin.ini"; then
  start_service
fi

status=0
"$build/quorlin" "$@" || status=$?
exit "$status"
