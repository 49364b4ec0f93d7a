#!/usr/bin/env bash
# Measures howlcut in simulated rooms: makes the sound material (espeak-ng,
# fluidsynth, sox) into build/howlsim/material unless it is there, builds the
# simulator (build/bench, Release), runs it and draws docs/howlcut_asg.png.
#   bench/howlsim.sh            all 20 rooms, speech, music and noise
#   bench/howlsim.sh --quick    3 rooms, speech and music, shorter false-notch runs
#   bench/howlsim.sh --rooms 2,7   those rooms alone (for tuning)
#   bench/howlsim.sh --trace 15,speech,-6.5   one run traced every 0.5 s (no plot)
#   bench/howlsim.sh --bound    the most a bank of notches could add in each room (no plot)
# The tables go to build/howlsim/howlsim.md (and are printed).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
out="$top/build/howlsim"
python=/usr/bin/python3   # Debian's, with numpy and matplotlib

mkdir -p "$out"
if [ ! -s "$out/material/music.f32" ] || [ ! -s "$out/material/speech.f32" ] || [ ! -s "$out/material/noise.f32" ]; then
  echo "howlsim: making the material in $out/material"
  "$python" "$top/bench/howlsim/material.py" "$out/material"
fi
cmake -S "$top" -B "$top/build/bench" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$top/build/bench" --target howlsim -j "$(nproc)" >/dev/null
start=$(date +%s)
"$top/build/bench/bench/howlsim" --material "$out/material" --out "$out" "$@"
echo "howlsim: $(( $(date +%s) - start )) s"
case " $* " in *" --trace "* | *" --bound "*) exit 0 ;; esac
"$python" "$top/bench/howlsim/plot.py" "$out" "$top/docs/howlcut_asg.png"
