#!/usr/bin/env bash
# Installs what is missing, builds the release configuration and runs the tool.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh release quorlin >/dev/null
exec build/release/quorlin "$@"
