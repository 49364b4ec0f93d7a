#!/bin/sh
# liveload.sh LIVE.exe HOWLCUT.dll: roomcaster_live as a user runs it with
# howlcut in plugin2 (a copy in a scratch folder, between two null sinks of its
# own, noise in the room): the module from that folder is mapped into the
# running program, the sound comes through it to the end of --seconds, the
# program ends with status 0 and tells no fault.
set -eu
live="$1" howlcut="$2"
. "$(cd "$(dirname "$0")" && pwd)/../engine/devices/soundroom.sh"
fail() { echo "FAIL: $*"; exit 1; }

prog="$scratch/prog"
mkdir -p "$prog/plugin2"
cp "$live" "$prog/"
cp "$howlcut" "$prog/plugin2/"
makeroom load
playnoise
( cd "$prog" && exec wine ./roomcaster_live.exe --buffersize 1500 --seconds 10 --wavein "Monitor of $mic" \
    --waveout "$speaker" </dev/null >"$scratch/live.out" 2>"$scratch/live.err" ) &
livepid=$!
# Wine maps a loaded module's file: some process of the run maps this one.
mapped=""
for _ in $(seq 100); do
  for maps in /proc/[0-9]*/maps; do
    grep -qF "$prog/plugin2/howlcut.dll" "$maps" 2>/dev/null && mapped=yes && break
  done
  [ -z "$mapped" ] || break
  sleep 0.1
done
waitstatus "$scratch/live.out" 7 "$livepid"
record 2 "$scratch/out.raw"
status=0
wait "$livepid" || status=$?
[ "$status" = 0 ] || fail "roomcaster_live ended with status $status: $(grep -v ALSA "$scratch/live.err" | tail -3)"
[ -n "$mapped" ] || fail "plugin2/howlcut.dll was never loaded"
! grep -q "faulted" "$scratch/live.err" || fail "a fault was told: $(grep faulted "$scratch/live.err")"
[ ! -e "$prog/plugin-faults.log" ] || fail "plugin-faults.log: $(cat "$prog/plugin-faults.log")"
level=$(peak "$scratch/out.raw")
[ "$level" -gt 50 ] || fail "no sound in the last seconds (peak $level)"
echo "howlcut loaded from plugin2, no fault, the sound went on (output peak $level at the end)"
