#!/usr/bin/env bash
# pulsecrash.sh [ROUNDS]: the simulated room's requests to the sound server
# (tests/app/quarnroom.cpp, tests/engine/devices/soundroom.sh), ROUNDS times (200 by
# default), on the headless server tools/services.sh starts: two null sinks,
# a loopback from one's monitor into the other with its volume set, a player
# and a recorder on them, the clients ended and the loopback and the sinks
# unloaded (every other round in the other order). Prints how often the server's PulseAudio front end (pipewire-pulse)
# ended, and the kernel's line about it where the kernel log can be read.
# Run it with a QUARN_STATE of its own: the server is restarted after a crash.
set -u
rounds="${1:-200}"
top="$(cd "$(dirname "$0")/../.." && pwd)"
: "${QUARN_STATE:=/tmp/pulsecrash-$$}"
export QUARN_STATE
. "$top/tools/services.sh" >/dev/null
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
sox -n -r 44100 -c 2 -b 16 -e signed-integer "$scratch/tone.wav" synth 2 sine 441 vol 0.3 2>/dev/null

# The process of this state's server named $1 (by its runtime folder, never by name alone).
serverpid() {
  for p in $(pgrep -x "$1"); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "XDG_RUNTIME_DIR=$PIPEWIRE_RUNTIME_DIR" && echo "$p"
  done
}
pulsepid="$(serverpid pipewire-pulse)"
[ -n "$pulsepid" ] || { echo "pulsecrash: no pipewire-pulse of this state (a user's server?)"; exit 77; }
kernelbefore="$(dmesg 2>/dev/null | grep -c pipewire-pulse || true)"

crashes=0 failed=0
for round in $(seq "$rounds"); do
  spk="crashspk$round" mic="crashmic$round"
  a=$(pactl load-module module-null-sink sink_name=$spk sink_properties=device.description=$spk) &&
    b=$(pactl load-module module-null-sink sink_name=$mic sink_properties=device.description=$mic) &&
    l=$(pactl load-module module-loopback source=$spk.monitor sink=$mic latency_msec=30) || failed=$((failed + 1))
  n=""
  for _ in $(seq 50); do
    n=$(pactl list sink-inputs 2>/dev/null | awk -v m="${l:-x}" '/^Sink Input #/ {id = substr($3, 2)} /Owner Module:/ && $3 == m {print id}')
    [ -n "$n" ] && break
    sleep 0.1
  done
  [ -n "$n" ] && pactl set-sink-input-volume "$n" 40% || true
  paplay -d "$mic" "$scratch/tone.wav" >/dev/null 2>&1 & player=$!
  timeout 0.5 parec --latency-msec=20 -d "$spk.monitor" --raw >/dev/null 2>&1 & recorder=$!
  sleep 0.3
  # Every other round the sinks go while their clients still play and record
  # (as when a device vanishes under the program); else the clients go first.
  if [ $((round % 2)) = 1 ]; then
    for m in ${l:-} ${b:-} ${a:-}; do pactl unload-module "$m" 2>/dev/null; done
    kill "$player" 2>/dev/null
    wait "$recorder" "$player" 2>/dev/null
  else
    kill "$player" 2>/dev/null
    wait "$recorder" "$player" 2>/dev/null
    for m in ${l:-} ${b:-} ${a:-}; do pactl unload-module "$m" 2>/dev/null; done
  fi
  a="" b="" l=""
  if ! kill -0 "$pulsepid" 2>/dev/null; then
    crashes=$((crashes + 1))
    echo "round $round: pipewire-pulse ($pulsepid) ended"
    # A fresh server: the rest of this one ended by id, then started again.
    for p in $(serverpid pipewire) $(serverpid wireplumber); do kill "$p" 2>/dev/null; done
    sleep 1
    unset PULSE_SERVER PIPEWIRE_RUNTIME_DIR
    rm -f "$QUARN_STATE/pulse-server"
    . "$top/tools/services.sh" >/dev/null
    pulsepid="$(serverpid pipewire-pulse)"
    [ -n "$pulsepid" ] || { echo "pulsecrash: the server did not start again"; break; }
  fi
done
kernelafter="$(dmesg 2>/dev/null | grep -c pipewire-pulse || true)"
echo "pulsecrash: $rounds rounds, $crashes times pipewire-pulse ended, $failed rounds with a refused load"
if [ -n "$kernelbefore" ] && [ "$kernelafter" != "$kernelbefore" ]; then
  dmesg | grep pipewire-pulse | tail -n $((kernelafter - kernelbefore))
fi
