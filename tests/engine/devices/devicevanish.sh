#!/bin/sh
# devicevanish.sh PROGRAM.exe [OPTION...]: the sink and the source the program uses go
# away while it runs and come back. It must neither crash nor hang, and the
# next reopen of the devices brings the sound back.
# PROGRAM takes --buffersize, --seconds, --wavein NAME and --waveout NAME, and
# reopens its devices on the line "r" (roomcaster_live does; the main program
# reopens on a device change, so a driver for it replaces the "r" below).
# OPTIONs go to the program (--audio wasapi: the same on the stream back end).
set -eu
program="$1"
shift
. "$(dirname "$0")/soundroom.sh"
fail() { echo "FAIL: $*"; exit 1; }

makeroom vanish
playnoise
mkfifo "$scratch/input"
# The writer holds the pipe open until the test is done with the program.
sleep 120 >"$scratch/input" &
roompids="$roompids $!"
( cd "$(dirname "$program")" && exec wine "./$(basename "$program")" --buffersize 1500 --seconds 90 \
    --wavein "Monitor of $mic" --waveout "$speaker" "$@" <"$scratch/input" >"$scratch/out" 2>"$scratch/err" ) &
programpid=$!
exec 3>"$scratch/input"
waitstatus "$scratch/out" 8 "$programpid"
record 3 "$scratch/before.raw"
before=$(peak "$scratch/before.raw")
[ "$before" -gt 50 ] || fail "no sound before the devices went away (peak $before)"

# Away: the noise first, so the streams the sound server moves to its default
# sink and source carry only silence; then both sinks (the source is mic's monitor).
stopnoise
sleep 1
pactl unload-module "$speakermodule"
pactl unload-module "$micmodule"
roommodules=""
sleep 6
kill -0 "$programpid" 2>/dev/null || fail "the program ended when its devices went away"

# Back, under the same names, then a reopen.
micmodule=$(loadsink "$mic")
speakermodule=$(loadsink "$speaker")
roommodules="$micmodule $speakermodule"
playnoise
sleep 2
echo r >&3
# The reopen starts the silence and the fade-in again.
for _ in $(seq 600); do grep -q "reopened" "$scratch/out" && break; sleep 0.1; done
grep -q "reopened" "$scratch/out" || fail "the program did not reopen its devices within 60 s"
waitstatus "$scratch/out" $(( $(grep -c '^in ' "$scratch/out") + 8 )) "$programpid"
record 3 "$scratch/after.raw"
after=$(peak "$scratch/after.raw")
kill -0 "$programpid" 2>/dev/null || fail "the program ended after the reopen"
[ "$after" -gt 50 ] || fail "the reopen did not bring the sound back (peak $after): $(grep -v ALSA "$scratch/out")"

# Enter still ends it promptly: not hung.
echo >&3
for _ in $(seq 150); do kill -0 "$programpid" 2>/dev/null || break; sleep 0.2; done
kill -0 "$programpid" 2>/dev/null && { kill "$programpid"; fail "the program did not end on Enter within 30 s"; }
status=0
wait "$programpid" || status=$?
[ "$status" = 0 ] || fail "the program ended with status $status"
echo "sound before (peak $before), the program lived through the devices' absence, sound after the reopen (peak $after)"
