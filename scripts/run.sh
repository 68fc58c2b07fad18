#!/usr/bin/env bash
# Builds z3config and starts it. Without a Z3 mouse on the USB bus it runs
# against the built-in virtual mouse.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
args=("$@")
if [ ${#args[@]} -eq 0 ]; then
  # 04d9:a09f is the Z3 mouse.
  if ! grep -qsi 'HID_ID=0003:000004D9:0000A09F' /sys/class/hidraw/*/device/uevent; then
    echo "No Z3 mouse found: starting with the virtual mouse."
    args=(--virtual-device)
  fi
fi
exec "$BUILD_DIR/z3config" "${args[@]}"
