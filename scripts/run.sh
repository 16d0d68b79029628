#!/usr/bin/env bash
# Starts Torvex; without a display it renders the start-up chart to an image instead.
set -eu
build=${1:-build}
exe="$build/torvex"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$exe"
fi
out="$build/torvex-example.png"
"$exe" --export "$out"
echo "No display: the start-up chart was rendered to $(realpath "$out")"
