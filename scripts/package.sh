#!/usr/bin/env bash
# Builds the Debian package of the release configuration with CPack's DEB generator; its library
# dependencies are found by dpkg-shlibdeps. The package lands in build/release/package/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh release quorlin_installed
cpack --config build/release/CPackConfig.cmake -B build/release/package
ls build/release/package/*.deb
