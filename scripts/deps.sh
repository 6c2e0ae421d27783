#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the window need.
# Only what is missing is installed, so a second run costs nothing.
set -euo pipefail
PKGS=(build-essential cmake ninja-build pkg-config
      qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6serialport6
      qt6-qpa-plugins libgl-dev fonts-wqy-zenhei unifont xvfb xauth ccache
      qt6-translations-l10n
      qt6-httpserver-dev qt6-websockets-dev libqt6sql6-sqlite
      chromium espeak-ng clang libclang-rt-14-dev ser2net)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq || true
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
