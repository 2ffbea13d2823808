#!/usr/bin/env bash
# Installs the Debian packages Quorlin needs to build, run and test, when they are missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config git
  libffi-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg-dev libpng-dev zlib1g-dev libgif-dev
  libcurl4-openssl-dev libcpp-httplib-dev
  libfreetype-dev libfontconfig-dev fonts-noto-cjk
  clang libclang-rt-14-dev
  qt6-base-dev qt6-qpa-plugins qt6-wayland
  xvfb xauth xdotool xclip libxcb1-dev
  desktop-file-utils appstream dpkg-dev file
  weston wl-clipboard
  imagemagick
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "installing: ${missing[*]}" >&2
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
