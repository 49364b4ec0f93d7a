#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and starts it under Wine.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/tools/setup.sh"
source "$top/tools/services.sh"
bash "$top/tools/build.sh" --dist
cd "$top/dist"
# The settings file lives beside the program. Wine's waveform audio drops out
# with the program's start value of 400-frame blocks, so the first run under
# Wine starts at 1500 frames: window position, default devices, gain 1, and
# the block size; every other value keeps the program's own default.
if [ ! -e roomcaster_quarn.ini ]; then
  printf ' 10\r\n 10\r\n-1\r\n-1\r\n 1\r\n 1500\r\n' >roomcaster_quarn.ini
fi
echo "Starting roomcaster_quarn (display $DISPLAY). Quit with its \"quit\" button or Escape." >&2
exec wine ./roomcaster_quarn.exe
