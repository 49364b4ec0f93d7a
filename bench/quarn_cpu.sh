#!/usr/bin/env bash
# CPU used by the running roomcaster_quarn.exe with audio flowing, as a share of
# one core, apart from Wine's own server and the sound server.
#   bench/quarn_cpu.sh [SECONDS] [PLUGINS] [BLOCKSIZE] [BACKEND]
#     defaults: 60 s, 0 plug-ins (0..6 ringout copies), and the run command's
#     block size and back end (tools/firstrun.sh; BACKEND waveform or wasapi)
# Runs a copy of dist/ in a scratch folder on the default devices.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
plugins="${2:-0}"
source "$top/tools/firstrun.sh"
blocksize="${3:-$firstrunblocksize}"
backend="${4:-$firstrunaudio}"
source "$top/tools/services.sh"
scratch="$(mktemp -d /tmp/quarncpu.XXXXXX)"
trap 'pkill -f "$scratch/roomcaster_quarn.exe" 2>/dev/null || true; rm -rf "$scratch"' EXIT
cp "$top/dist/roomcaster_quarn.exe" "$scratch/"
for n in $(seq 1 "$plugins"); do
  folder=plugin; [ "$n" -gt 1 ] && folder="plugin$n"
  mkdir -p "$scratch/$folder" && cp "$top/dist/plugin/ringout.dll" "$scratch/$folder/"
done
printf ' 10\r\n 10\r\n-1\r\n-1\r\n 1\r\n %d\r\n' "$blocksize" >"$scratch/roomcaster_quarn.ini"
(cd "$scratch" && exec wine "$scratch/roomcaster_quarn.exe" --audio "$backend" >/dev/null 2>&1) &
pid=""
for _ in $(seq 100); do
  pid="$(pgrep -f "$scratch/roomcaster_quarn.exe" | head -1 || true)"
  [ -n "$pid" ] && break
  sleep 0.1
done
[ -n "$pid" ] || { echo "quarn_cpu: the program did not start" >&2; exit 1; }
sleep 10  # start-up, 3 s of silence and the fade-in
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz="$(getconf CLK_TCK)"
before="$(ticks)"
start="$(date +%s.%N)"
sleep "$seconds"
after="$(ticks)"
end="$(date +%s.%N)"
awk -v t="$((after - before))" -v hz="$hz" -v s="$start" -v e="$end" -v p="$plugins" -v b="$blocksize" -v a="$backend" \
  'BEGIN { printf "roomcaster_quarn, %d ringout copies, %d-frame blocks, %s: %.2f %% of one core over %.0f s\n", p, b, a, 100 * t / hz / (e - s), e - s }'
