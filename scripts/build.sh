#!/usr/bin/env bash
# Configures and builds one configuration: release (default), debug, sanitize or fuzz.
# Usage: scripts/build.sh [CONFIG] [ninja targets...]
set -euo pipefail
cd "$(dirname "$0")/.."
config=${1:-release}
shift || true

case "$config" in
  release)  args=(-DCMAKE_BUILD_TYPE=Release) ;;
  debug)    args=(-DCMAKE_BUILD_TYPE=Debug) ;;
  sanitize) args=(-DCMAKE_BUILD_TYPE=Debug -DQUORLIN_SANITIZE=ON) ;;
  fuzz)     args=(-DCMAKE_BUILD_TYPE=Debug -DQUORLIN_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "unknown configuration: $config (release, debug, sanitize, fuzz)" >&2; exit 2 ;;
esac

# Cache hits across checkouts in other folders (CI clones afresh each time).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

build_dir=build/$config
if [[ ! -f $build_dir/build.ninja ]]; then
  cmake -S . -B "$build_dir" -G Ninja -DQUORLIN_WERROR=ON "${args[@]}" >/dev/null
fi
cmake --build "$build_dir" -- "$@"
