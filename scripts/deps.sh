#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the window need,
# when they are missing. Uses sudo when not run as root.
#   scripts/deps.sh           build, tests, window
#   scripts/deps.sh --bench   also what bench/run.sh needs
set -euo pipefail

packages=(
  cmake ninja-build g++ clang pkg-config
  libpng-dev zlib1g-dev libdeflate-dev
  libgtest-dev
  qt6-base-dev
  fonts-ipafont-gothic
  xvfb xauth
)
[ "${1:-}" = "--bench" ] && packages+=(hyperfine jq time optipng)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
