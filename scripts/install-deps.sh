#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing z3config
# needs. Safe to run again: it installs only what is missing.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev qt6-declarative-dev qt6-declarative-private-dev qt6-multimedia-dev
  qml6-module-qtquick qml6-module-qtquick-window qml6-module-qttest
  qml6-module-qtqml-workerscript
  libhidapi-dev libudev-dev libglib2.0-dev libx11-dev gsettings-desktop-schemas
  libsndfile1-dev libpulse-dev pulseaudio pulseaudio-utils
  fonts-dejavu-core fonts-wqy-microhei
  xvfb xauth xdotool x11-xserver-utils x11-utils imagemagick
  e2fsprogs qt6-wayland weston
  python3
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
