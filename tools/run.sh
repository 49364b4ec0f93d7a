#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and starts it under Wine.
# Where the scripts started their own sound server (no sound card, no desktop),
# it shows the program at work in a simulated room instead (tools/demo.sh) and
# then ends everything it started.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/tools/setup.sh"
source "$top/tools/services.sh"
bash "$top/tools/build.sh" --dist
source "$top/tools/firstrun.sh"

if [ "$QUARN_OWN_SOUND" = 1 ]; then
  # Nothing to hear on this machine: the demo, then the servers go.
  trap 'bash "$top/tools/services.sh" stop' EXIT
  bash "$top/tools/demo.sh" "$top/demo"
  exit
fi

cd "$top/dist"
# The settings file lives beside the program. The first run starts with a
# block of two of Wine's 10 ms audio periods (the program's own start value of
# 400 frames is not a whole number of them): window position, default devices,
# gain 1, and the block size; every other value keeps the program's own default.
if [ ! -e roomcaster_quarn.ini ]; then
  printf ' 10\r\n 10\r\n-1\r\n-1\r\n 1\r\n %d\r\n' "$firstrunblocksize" >roomcaster_quarn.ini
  cat >&2 <<'WARN'
Careful: roomcaster_quarn plays what the microphone hears through the loudspeakers.
A microphone near the loudspeakers will howl. Use headphones, or run the loop test
(key "8" or the "testloop" button) first: it finds the highest gain that is safe
in the room and sets it.
WARN
fi
# The audio-client back end keeps time under Wine where the waveform API drops
# blocks (README, Live sound).
echo "Starting roomcaster_quarn (display $DISPLAY, --audio $firstrunaudio). Quit with its \"quit\" button or Escape." >&2
exec wine ./roomcaster_quarn.exe --audio "$firstrunaudio"
