#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and starts it under Wine.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/tools/setup.sh"
source "$top/tools/services.sh"
bash "$top/tools/build.sh" --dist
cd "$top/dist"
echo "Starting the live engine between the default capture and playback devices." >&2
echo "(The main window comes in a later version.) Press Enter or Ctrl+C to stop." >&2
# Blocks of 1500 frames: Wine's waveform audio path drops out with the
# engine's start value of 400 (about one 5 ms window in seven silent).
exec wine ./roomcaster_live.exe --buffersize 1500
