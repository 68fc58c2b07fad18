#!/usr/bin/env bash
# Builds z3config and runs every test program under a private Xvfb display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}

# Real-window tests need an X server; start one unless a display is given.
# Xvfb picks a free display number itself, so a stale lock cannot stop it.
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  DISPLAY_FILE=$(mktemp)
  Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp 9>"$DISPLAY_FILE" >/dev/null 2>&1 &
  XVFB_PID=$!
  trap 'kill $XVFB_PID 2>/dev/null || true; rm -f "$DISPLAY_FILE"' EXIT
  for _ in $(seq 1 200); do [ -s "$DISPLAY_FILE" ] && break; sleep 0.05; done
  export DISPLAY=":$(head -n1 "$DISPLAY_FILE" | tr -d '[:space:]')"
  for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
fi

cd "$BUILD_DIR"
ctest --output-on-failure -j"$(nproc)" --timeout 300 "$@"
