#!/usr/bin/env bash
# render_memory.sh [RENDER]: the native renderer's peak memory (maximum
# resident set, /usr/bin/time -v) on a generated 2-hour file, at 44.1 kHz
# (no conversion) and at 48 kHz (through the resampler both ways), with the
# file named and through stdin and stdout. Figures only: the streaming keeps
# the peak flat, whatever the length.
#   RENDER  default build/bench/app/render/roomcaster_render
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
render="${1:-$top/build/bench/app/render/roomcaster_render}"
hours="${HOURS:-2}"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
seconds=$((hours * 3600))
for rate in 44100 48000; do
  # 10 s of two tones from sox, repeated to the length (sox alone takes minutes).
  sox -n -r "$rate" -c 2 -b 16 "$dir/piece.wav" synth 10 sine 220 sine 331 remix 1 2 vol 0.5
  python3 - "$dir/piece.wav" "$dir/long.wav" "$((seconds / 10))" <<'PY'
import struct, sys
piece = open(sys.argv[1], 'rb').read()
at = piece.index(b'data')
audio = piece[at + 8:at + 8 + struct.unpack('<I', piece[at + 4:at + 8])[0]]
times = int(sys.argv[3])
with open(sys.argv[2], 'wb') as out:
    out.write(piece[:4] + struct.pack('<I', at + 4 + len(audio) * times - 4) + piece[8:at + 4])
    out.write(struct.pack('<I', len(audio) * times))
    for _ in range(times):
        out.write(audio)
PY
  start=$(date +%s)
  /usr/bin/time -v "$render" --quiet "$dir/long.wav" "$dir/out.wav" 2>"$dir/time.txt"
  took=$(( $(date +%s) - start ))
  peak=$(grep 'Maximum resident set size' "$dir/time.txt" | grep -o '[0-9]*$')
  echo "$hours h at $rate Hz, by name:         peak $((peak / 1024)) MB, $took s ($(( seconds / (took > 0 ? took : 1) ))x real time)"
  rm -f "$dir/out.wav"
  /usr/bin/time -v "$render" --quiet - - <"$dir/long.wav" 2>"$dir/time.txt" >/dev/null
  peak=$(grep 'Maximum resident set size' "$dir/time.txt" | grep -o '[0-9]*$')
  echo "$hours h at $rate Hz, stdin to stdout: peak $((peak / 1024)) MB"
  rm -f "$dir/long.wav"
done
