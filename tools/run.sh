#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and starts it under Wine.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/tools/setup.sh"
source "$top/tools/services.sh"
bash "$top/tools/build.sh" --dist
source "$top/tools/firstrun.sh"
cd "$top/dist"
# The settings file lives beside the program. The first run starts with a
# block of two of Wine's 10 ms audio periods (the program's own start value of
# 400 frames is not a whole number of them): window position, default devices,
# gain 1, and the block size; every other value keeps the program's own default.
if [ ! -e roomcaster_quarn.ini ]; then
  printf ' 10\r\n 10\r\n-1\r\n-1\r\n 1\r\n %d\r\n' "$firstrunblocksize" >roomcaster_quarn.ini
fi
# The audio-client back end keeps time under Wine where the waveform API drops
# blocks (README, Live sound).
echo "Starting roomcaster_quarn (display $DISPLAY, --audio $firstrunaudio). Quit with its \"quit\" button or Escape." >&2
exec wine ./roomcaster_quarn.exe --audio "$firstrunaudio"
