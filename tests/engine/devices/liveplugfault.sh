#!/bin/sh
# liveplugfault.sh LIVE.exe RINGOUT.dll FIXTUREDIR: plug-ins that fault do not
# take the sound with them in roomcaster_live as a user runs it (a copy in a
# scratch folder, where its plugin-faults.log goes): with ringout in plugin, a
# plug-in faulting on its 1000th call in plugin2 and one faulting in plugininit
# in plugin3, it plays on to --seconds, tells both faults on stderr and in
# plugin-faults.log beside it, and the sound is still there at the end.
# (The renderer's side is tests/pluginhost/pluginfaults_test.cpp, in its own steps.)
set -eu
live="$1" ringout="$2" fixtures="$3"
. "$(dirname "$0")/soundroom.sh"
fail() { echo "FAIL: $*"; exit 1; }

prog="$scratch/prog"
mkdir -p "$prog/plugin" "$prog/plugin2" "$prog/plugin3"
cp "$live" "$prog/"
cp "$ringout" "$prog/plugin/"
cp "$fixtures/faultav.dll" "$prog/plugin2/"
cp "$fixtures/faultinitav.dll" "$prog/plugin3/"
makeroom fault
playnoise
( cd "$prog" && exec wine ./roomcaster_live.exe --buffersize 1500 --seconds 14 --wavein "Monitor of $mic" \
    --waveout "$speaker" </dev/null >"$scratch/live.out" 2>"$scratch/live.err" ) &
livepid=$!
waitstatus "$scratch/live.out" 9 "$livepid"
record 3 "$scratch/out.raw"
status=0
wait "$livepid" || status=$?
[ "$status" = 0 ] || fail "roomcaster_live ended with status $status: $(grep -v ALSA "$scratch/live.err" | tail -3)"
grep -q "plug-in slot 2 (.*faultav.dll) faulted in pluginproc (access violation" "$scratch/live.err" ||
  fail "the pluginproc fault was not told on stderr: $(grep -v ALSA "$scratch/live.err")"
grep -q "plug-in slot 3 (.*faultinitav.dll) faulted in plugininit" "$scratch/live.err" ||
  fail "the plugininit fault was not told on stderr"
[ "$(grep -c 'faulted in' "$prog/plugin-faults.log")" = 2 ] || fail "plugin-faults.log does not hold both faults"
level=$(peak "$scratch/out.raw")
[ "$level" -gt 50 ] || fail "no sound in the last seconds (peak $level)"
echo "both programs went on (live output peak $level at the end)"
