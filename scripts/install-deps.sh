#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the window need, if any is missing.
# Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libbenchmark-dev libzip-dev libxml2-dev
  qt6-base-dev qt6-translations-l10n fonts-wqy-zenhei
  xvfb xauth x11-utils imagemagick
  g++-mingw-w64-x86-64-posix g++-multilib
  clang libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
