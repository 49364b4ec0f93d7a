#!/usr/bin/env bash
# Round-trip latency, drop-outs and CPU of roomcaster_live (or of one of the
# minimal loops that show the platform's floor), between two null sinks of its own:
#   tools/latency.sh [--program live|quarn|waveloop|wasapiloop|PATH.exe] BLOCKSIZE SECONDS [OPTION...]
# OPTIONs go to the program (e.g. --audio wasapi); a PATH is a copy of
# roomcaster_live or of a loop, run in its own folder. quarn is the main
# program with its plug-ins, in a copy of dist/ given a settings file with
# both devices and the block size; it reports no counters of its own.
# A click train (a 441 Hz tone with a click every 2 s) plays into sink A; the
# program records A's monitor and plays into sink B; both monitors are recorded
# together, and every click's delay from A to B is measured. Prints the round
# trip (median, min, max, spread), the clicks lost, the silent gaps of the
# output and the program's own counters. The server's defaults are never
# changed: the program is given both devices by name. The sinks go at the end.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
usage="usage: tools/latency.sh [--program live|quarn|waveloop|wasapiloop|PATH.exe] BLOCKSIZE SECONDS [OPTION...]"
program=live
if [ "${1:-}" = "--program" ]; then program="${2:?$usage}"; shift 2; fi
blocksize="${1:?$usage}"
seconds="${2:?$usage}"
shift 2

source "$top/tools/services.sh"
# PULSE_LATENCY_MSEC, when a user sets it, is for the program alone: the probe and the player keep the server's own settings.
programlatency="${PULSE_LATENCY_MSEC:-}"
unset PULSE_LATENCY_MSEC
case "$program" in
  live|quarn) exe="$top/dist/roomcaster_$program.exe"
        [ -x "$exe" ] || bash "$top/tools/build.sh" --dist >/dev/null ;;
  waveloop|wasapiloop)
        exe="$top/build/windows/bench/probes/$program.exe"
        [ -x "$exe" ] || { bash "$top/tools/build.sh" --dist >/dev/null; cmake --build "$top/build/windows" --target "$program" >/dev/null; } ;;
  *.exe) exe="$program"
        [ -f "$exe" ] || { echo "latency: no program $exe" >&2; exit 2; } ;;
  *) echo "$usage" >&2; exit 2 ;;
esac

id="$$$RANDOM"
into="quarnlatin$id" outof="quarnlatout$id"
work="$(mktemp -d /tmp/quarnlatency.XXXXXX)"
modules=()
livepid=""
cleanup() {
  [ -n "$livepid" ] && kill "$livepid" 2>/dev/null || true
  [ -n "${playpid:-}" ] && kill "$playpid" 2>/dev/null || true
  for m in "${modules[@]}"; do pactl unload-module "$m" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
for sink in "$into" "$outof"; do
  modules+=("$(pactl load-module module-null-sink sink_name="$sink" sink_properties=device.description="$sink")")
done

python3 "$top/tools/latencyprobe.py" clicks "$work/clicks.wav" $((seconds + 4))

# Start-up: Wine, the devices, 3 s of silence and a 3 s fade-in. Measure only
# once the program has printed eight status lines (one a second).
if [ "$program" = quarn ]; then
  # The device numbers of the two sinks, as the waveform API lists them. The
  # first process to see new devices lists them last; Wine files them away
  # then, and every later process lists them in another order. So one look
  # first, and the numbers from the second.
  wine "$top/dist/roomcaster_live.exe" --list >/dev/null 2>&1
  number() { wine "$top/dist/roomcaster_live.exe" --list 2>/dev/null | tr -d '\r' |
             awk -v part="$1" -v name="$2" '/^capture/ { p = "in" } /^playback/ { p = "out" }
                                            p == part && $2 " " $3 " " $4 == name || p == part && $2 == name { print $1; exit }'; }
  # The plug-ins tools/run.sh ships: ringout in plugin, howlcut in plugin2.
  mkdir -p "$work/quarn" && cp -r "$top/dist/roomcaster_quarn.exe" "$top/dist/plugin" "$work/quarn/"
  # howlcut is loaded but switched off in its howlcut.ini (line 1): the steady
  # measuring tone is a pure sine held for the whole run, which is what a howl
  # looks like, and howlcut would notch it.
  if [ -d "$top/dist/plugin2" ]; then
    cp -r "$top/dist/plugin2" "$work/quarn/"
    printf ' 0\r\n 1\r\n' >"$work/quarn/plugin2/howlcut.ini"
  fi
  printf ' 10\r\n 10\r\n %d\r\n %d\r\n 1\r\n %d\r\n' "$(number in "Monitor of $into")" "$(number out "$outof")" \
    "$blocksize" >"$work/quarn/roomcaster_quarn.ini"
  cd "$work/quarn"
  wine ./roomcaster_quarn.exe "$@" >"$work/live.log" 2>/dev/null </dev/null &
  livepid=$!
  # The tone goes in from the start; the output sounds once the window is up,
  # the devices are open and 3 s of silence are over. Then the 3 s fade-in.
  paplay -d "$into" "$work/clicks.wav" &
  playpid=$!
  python3 "$top/tools/latencyprobe.py" waitsound "$outof.monitor" 60 ||
    { echo "latency: roomcaster_quarn played nothing" >&2; exit 1; }
  sleep 3.5
  kill "$playpid" 2>/dev/null || true
  kill -0 "$livepid" 2>/dev/null || { echo "latency: roomcaster_quarn ended early" >&2; exit 1; }
else
  cd "$(dirname "$exe")"
  ${programlatency:+env PULSE_LATENCY_MSEC=$programlatency} wine "./$(basename "$exe")" --buffersize "$blocksize" \
    --seconds $((seconds + 12)) --wavein "Monitor of $into" --waveout "$outof" "$@" >"$work/live.log" 2>/dev/null </dev/null &
  livepid=$!
  for _ in $(seq 600); do
    [ "$(grep -c "^in " "$work/live.log" 2>/dev/null || true)" -ge 8 ] && break
    kill -0 "$livepid" 2>/dev/null || { cat "$work/live.log"; echo "latency: $program ended early" >&2; exit 1; }
    sleep 0.1
  done
fi
before="$(grep '^in ' "$work/live.log" | tail -1 || true)"
# CPU seconds (user and system) of the program's process, from the kernel's own count.
cputicks() { awk '{ print $14 + $15 }' "/proc/$livepid/stat" 2>/dev/null || echo 0; }
cpubefore="$(cputicks)" timebefore="$(date +%s.%N)"

python3 "$top/tools/latencyprobe.py" measure "$into.monitor" "$outof.monitor" "$seconds" >"$work/probe.txt" &
probepid=$!
sleep 0.3
paplay -d "$into" "$work/clicks.wav" &
playpid=$!
wait "$probepid"
after="$(grep '^in ' "$work/live.log" | tail -1 || true)"
cpuafter="$(cputicks)" timeafter="$(date +%s.%N)"
[ "$program" = quarn ] && kill "$livepid" 2>/dev/null
wait "$livepid" || true
livepid=""

# The counters over the measured stretch: the last status line minus the one before it started.
# (0 for a counter the program does not print: the minimal loops print fewer.)
field() { local v; v="$(sed -n "s/.* $1 \([0-9]*\).*/\1/p" <<<"$2")"; echo "${v:-0}"; }
echo "$program, block $blocksize frames, $seconds s; design bound (capture block + two queued) $(awk "BEGIN{printf \"%.1f\", 3*$blocksize/44.1}") ms + backend"
cat "$work/probe.txt"
[ -n "$before" ] && echo "counters while measured: processed $(( $(field processed "$after") - $(field processed "$before") ))" \
     " dropped $(( $(field dropped "$after") - $(field dropped "$before") ))" \
     " underruns $(( $(field underruns "$after") - $(field underruns "$before") ))" \
     " starved $(( $(field starved "$after") - $(field starved "$before") ))" \
     " bunched $(( $(field bunched "$after") - $(field bunched "$before") ))" \
     " gaps $(( $(field gaps "$after") - $(field gaps "$before") ))" \
     " lost $(( $(field lost "$after") - $(field lost "$before") ))"
awk -v a="$cpubefore" -v b="$cpuafter" -v s="$timebefore" -v e="$timeafter" -v hz="$(getconf CLK_TCK)" \
  'BEGIN { printf "cpu of the program while measured: %.2f %% of one core\n", 100 * (b - a) / hz / (e - s) }'
grep -E '^[a-z_]+: [0-9.]+ s of' "$work/live.log" || true
