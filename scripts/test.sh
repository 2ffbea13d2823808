#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the release build, then the
# ASan+UBSan build. Usage: scripts/test.sh [release|sanitize ...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

configs=("$@")
[[ ${#configs[@]} -gt 0 ]] || configs=(release sanitize)
jobs=$(nproc)

status=0
for config in "${configs[@]}"; do
  echo "== $config build"
  scripts/build.sh "$config"
  echo "== $config tests"
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  ctest --test-dir "build/$config" --output-on-failure -j "$jobs" -LE bench || status=1
done
exit $status
