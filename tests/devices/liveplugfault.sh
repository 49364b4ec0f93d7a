#!/bin/sh
# liveplugfault.sh LIVE.exe RENDER.exe RINGOUT.dll FIXTUREDIR: plug-ins that
# fault do not take the sound with them, in the programs as a user runs them.
# Both run as copies in a scratch folder, where their plugin-faults.log goes.
#   roomcaster_render --plugin (a plug-in dividing by zero on its 1000th call):
#     the whole output is written, the fault told, exit status 3.
#   roomcaster_render --plugin (a plug-in faulting in plugininit): the render
#     goes on without it (the output is the one without plug-ins), exit status 3.
#   roomcaster_live with ringout in plugin, a plug-in faulting on its 1000th
#     call in plugin2 and one faulting in plugininit in plugin3: it plays on
#     to --seconds, tells both faults on stderr and in plugin-faults.log
#     beside it, and the sound is still there at the end.
set -eu
live="$1" render="$2" ringout="$3" fixtures="$4"
. "$(dirname "$0")/soundroom.sh"
fail() { echo "FAIL: $*"; exit 1; }

sox -n -r 44100 -c 2 -b 16 -e signed-integer "$scratch/in.wav" synth 3 sine 440 vol 0.5 2>/dev/null
mkdir "$scratch/render"
cp "$render" "$scratch/render/"
render="$scratch/render/$(basename "$render")"
status=0
wine "$render" --plugin "$fixtures/faultdiv.dll" "$scratch/in.wav" "$scratch/out.wav" 2>"$scratch/render.err" || status=$?
[ "$status" = 3 ] || fail "render with a faulting plug-in: exit status $status, not 3"
[ "$(stat -c %s "$scratch/in.wav")" = "$(stat -c %s "$scratch/out.wav")" ] || fail "the render's output is not whole"
grep -q "plug-in slot 1 (.*faultdiv.dll) faulted in pluginproc (integer division by zero" "$scratch/render.err" ||
  fail "the render did not tell the fault: $(cat "$scratch/render.err")"
status=0
wine "$render" --plugin "$fixtures/faultinitav.dll" "$scratch/in.wav" "$scratch/initfault.wav" 2>"$scratch/render.err" ||
  status=$?
[ "$status" = 3 ] || fail "render with a plug-in faulting in plugininit: exit status $status, not 3"
grep -q "plug-in slot 1 (.*faultinitav.dll) faulted in plugininit" "$scratch/render.err" ||
  fail "the render did not tell the plugininit fault: $(cat "$scratch/render.err")"
wine "$render" "$scratch/in.wav" "$scratch/noplugin.wav" 2>/dev/null
cmp -s "$scratch/initfault.wav" "$scratch/noplugin.wav" || fail "the render did not go on without the plug-in"
[ "$(grep -c 'faulted in' "$scratch/render/plugin-faults.log")" = 2 ] || fail "the render's plugin-faults.log is not beside it"

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
record 16 "$scratch/out.raw"
status=0
wait "$livepid" || status=$?
[ "$status" = 0 ] || fail "roomcaster_live ended with status $status: $(grep -v ALSA "$scratch/live.err" | tail -3)"
grep -q "plug-in slot 2 (.*faultav.dll) faulted in pluginproc (access violation" "$scratch/live.err" ||
  fail "the pluginproc fault was not told on stderr: $(grep -v ALSA "$scratch/live.err")"
grep -q "plug-in slot 3 (.*faultinitav.dll) faulted in plugininit" "$scratch/live.err" ||
  fail "the plugininit fault was not told on stderr"
[ "$(grep -c 'faulted in' "$prog/plugin-faults.log")" = 2 ] || fail "plugin-faults.log does not hold both faults"
level=$(peak "$scratch/out.raw" 4)
[ "$level" -gt 50 ] || fail "no sound in the last seconds (peak $level)"
echo "both programs went on (live output peak $level at the end)"
