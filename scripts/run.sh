#!/usr/bin/env bash
# Starts Torvex (with any files given after the build folder); without a display it renders
# the start-up chart to an image instead.
#   scripts/run.sh [BUILD_DIR] [FILE...]
set -eu
build=${1:-build}
[ $# -gt 0 ] && shift
exe="$build/torvex"
if [ ! -x "$exe" ]; then
  echo "run.sh: $exe not found; build first (make build)" >&2
  exit 1
fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$exe" "$@"
fi
out="$build/torvex-example.png"
"$exe" --export "$out"
echo "No display: the start-up chart was rendered to $(realpath "$out")"
