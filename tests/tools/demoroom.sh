#!/bin/sh
# demoroom.sh SOURCE OUTDIR: tools/demo.sh as run.sh runs it, on the test's
# sound server (its own sinks only): it ends cleanly (the program quit on
# Escape), leaves every file it names, and room.wav carries the talker: the
# loudspeakers' spectrogram matches the microphone's delayed by the round trip
# (an unrelated stretch scores near 0).
set -eu
top="$1" out="$2"
pactl info >/dev/null 2>&1 || { echo "no sound server reachable: skipped"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$out"
bash "$top/tools/demo.sh" "$out" 2>"$out.log" || fail "the demo failed: $(grep -v ALSA "$out.log")"
grep -v ALSA "$out.log"
for f in room.wav microphone.wav levels.png window.png; do
  [ -s "$out/$f" ] || fail "no $f"
done
/usr/bin/python3 "$top/tools/demoroom.py" check "$out" 0.4 || fail "room.wav does not carry the talker"
