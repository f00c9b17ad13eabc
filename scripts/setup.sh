#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (only what is
# missing), then configures and builds into build/. Safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libqt6svg6-dev libgl-dev
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libpcre2-dev libicu-dev libabsl-dev libxxhash-dev libgtest-dev
  fonts-wqy-microhei
  python3 mawk gawk strace fiu-utils time hyperfine xvfb xauth desktop-file-utils xdg-utils
  dpkg-dev file appstream
  groff-base man-db zsh fish
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}" >&2
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

build=${QUILLOW_BUILD_DIR:-build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j"$(nproc)"
