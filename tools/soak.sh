#!/usr/bin/env bash
# A long run of the live engine with six ringout plug-ins, on noise, through a
# pair of null sinks of its own; every minute it prints the blocks dropped, the
# process's memory and its CPU (tools/soakwatch.py).
#   tools/soak.sh MINUTES
# Environment:
#   SOAK_PROGRAM     the program to run, relative to dist/ (default roomcaster_live.exe;
#                    the main program can take its place once it takes the same devices)
#   SOAK_ARGS        its arguments before the devices (default: --buffersize 1500 --seconds N)
#   SOAK_BUFFERSIZE  frames per block (1500)
#   SOAK_COUNTER     a shell command printing the engine's own count of dropped
#                    blocks, shown beside the estimate from the recording
#   SOAK_NOBUILD=1   use dist/ as it is
# The scratch copy of dist/ (with plugin, plugin2 ... plugin6 each holding
# ringout.dll), the noise and the log are in $QUARN_STATE/soak/.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
minutes="${1:?usage: tools/soak.sh MINUTES}"
buffersize="${SOAK_BUFFERSIZE:-1500}"
program="${SOAK_PROGRAM:-roomcaster_live.exe}"

bash "$top/tools/setup.sh"
source "$top/tools/services.sh"
[ "${SOAK_NOBUILD:-}" = 1 ] || bash "$top/tools/build.sh" --dist

work="$QUARN_STATE/soak"
rm -rf "$work"
mkdir -p "$work"
cp -r "$top/dist" "$work/dist"
rm -f "$work/dist/plugin-faults.log"
for n in 2 3 4 5 6; do
  mkdir -p "$work/dist/plugin$n"
  cp "$top/dist/plugin/ringout.dll" "$work/dist/plugin$n/"
done

# Two null sinks of this run only: noise plays into mic; the program records
# mic's monitor and plays into speaker, whose monitor is recorded.
id="$$"
mic="soakmic$id" speaker="soakspk$id"
modules=()
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for m in "${modules[@]}"; do pactl unload-module "$m" 2>/dev/null || true; done
}
trap cleanup EXIT
for sink in "$mic" "$speaker"; do
  modules+=("$(pactl load-module module-null-sink sink_name="$sink" sink_properties=device.description="$sink")")
done

sox -n -r 44100 -c 2 -b 16 -e signed-integer "$work/noise.wav" synth 30 pinknoise vol 0.3 2>/dev/null
( while true; do paplay -d "$mic" "$work/noise.wav" || sleep 1; done ) &
pids+=($!)

seconds=$((minutes * 60 + 30))
cd "$work/dist"
# stdin at its end: only --seconds ends the program.
wine "./$program" ${SOAK_ARGS:---buffersize "$buffersize" --seconds "$seconds"} \
  --wavein "Monitor of $mic" --waveout "$speaker" </dev/null >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
echo "soak: $program with six ringout plug-ins, $buffersize-frame blocks, $minutes minutes (log: $work/)"

parec -d "$speaker.monitor" --raw --format=s16le --rate=44100 --channels=2 --latency-msec=50 |
  python3 "$top/tools/soakwatch.py" "$program_pid" "$buffersize" "$minutes" "${SOAK_COUNTER:-}" |
  tee "$work/soak.log"
status=0
kill -0 "$program_pid" 2>/dev/null || { echo "soak: the program ended early:"; grep -v ALSA "$work/program.log" | tail -5; status=1; }
exit $status
