#!/usr/bin/env bash
# The program doing its job in a simulated room, where no sound card exists
# (tools/run.sh runs it when the scripts started their own sound server):
#   tools/demo.sh [OUTDIR]        (OUTDIR: demo/ by default)
# A talker (speech, then a short piece of music, about 30 s) plays into the
# room's microphone; roomcaster_quarn, as the run command starts it
# (--audio wasapi, 882-frame blocks, ringout loaded), records the microphone
# and plays into the loudspeakers; a loudspeaker-to-microphone path (a
# loopback at a safe gain) closes the room. Both are recorded on one time
# base: OUTDIR/room.wav (the loudspeakers, what the room hears),
# OUTDIR/microphone.wav, a screenshot of the window OUTDIR/window.png and the
# levels over time OUTDIR/levels.png. Then the program is quit with its
# Escape key, as a user would, and a summary names the files, the round trip
# and what was lost. The room's sinks are its own: the server's defaults are
# never touched, and everything it loads or starts goes at its end.
# Needs services.sh sourced (a display and a sound server) and dist/ built.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
out="$(mkdir -p "${1:-$top/demo}" && cd "${1:-$top/demo}" && pwd)"
source "$top/tools/firstrun.sh"
# Debian's Python, which has Debian's numpy and matplotlib (tools/setup.sh).
python=/usr/bin/python3
[ -x "$python" ] || python=python3
id="$$"
mic="demomic$id" speaker="demospeaker$id"
work="$(mktemp -d /tmp/quarndemo.XXXXXX)"
modules=()
quarnpid=""
cleanup() {
  [ -n "$quarnpid" ] && kill "$quarnpid" 2>/dev/null || true
  for m in "${modules[@]}"; do pactl unload-module "$m" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
say() { echo "demo: $*" >&2; }

# The talker: speech, then a short tune, 44100 Hz stereo.
espeak-ng -s 150 -w "$work/speech.wav" "Good evening, and welcome. This is roomcaster quarn, \
listening to the talker through the microphone, and playing the sound into the room through the \
loudspeakers, with a little echo and ring out added. The level is kept steady, and the loudspeakers \
never feed back into the microphone above the gain the loop test allows. Now, a short piece of music." \
  2>/dev/null
sox "$work/speech.wav" -r 44100 -c 2 -b 16 "$work/speech44.wav" vol 0.5
notes=""
for n in C4 E4 G4 C5 B4 G4 E4 G4 A4 F4 D4 F4 G4 E4 C4 E4 D4 B3 G3 B3 C4 E4 G4 C5; do
  sox -n -r 44100 -c 2 -b 16 "$work/note$n.wav" synth 0.45 pluck "$n" fade 0 0.45 0.3 vol 0.5
  notes="$notes $work/note$n.wav"
done
# shellcheck disable=SC2086
sox $notes "$work/tune.wav"
sox "$work/speech44.wav" "$work/tune.wav" "$work/talker.wav" pad 0 1
talkerseconds="$(soxi -D "$work/talker.wav")"

# The room: the microphone (a null sink: the talker and the loudspeaker path
# play into it, the program records its monitor) and the loudspeakers (the
# program plays into it); the path from loudspeakers to microphone at 30 %
# (a linear factor of about 0.027, well below the gain that howls).
load() { modules+=("$(pactl load-module "$@")"); }
load module-null-sink sink_name="$mic" sink_properties=device.description="$mic"
load module-null-sink sink_name="$speaker" sink_properties=device.description="$speaker"
load module-loopback source="$speaker.monitor" sink="$mic" latency_msec=30
for _ in $(seq 50); do
  input="$(pactl list short sink-inputs | awk -v m="${modules[2]}" '$2 == m { print $1 }')"
  [ -n "$input" ] && break
  sleep 0.1
done
[ -n "$input" ] && pactl set-sink-input-volume "$input" 30%

# The program in a folder of its own (the user's settings file in dist/ is not
# touched), given both devices by number and the run command's block size. The
# first process to see new devices lists them last, later ones elsewhere: one
# look first, the numbers from the second (as tools/latency.sh).
wine "$top/dist/roomcaster_live.exe" --list >/dev/null 2>&1 || true
number() { wine "$top/dist/roomcaster_live.exe" --list 2>/dev/null | tr -d '\r' |
           awk -v part="$1" -v name="$2" '/^capture/ { p = "in" } /^playback/ { p = "out" }
                                          p == part && $2 " " $3 " " $4 == name || p == part && $2 == name { print $1; exit }'; }
micnumber="$(number in "Monitor of $mic")" speakernumber="$(number out "$speaker")"
[ -n "$micnumber" ] && [ -n "$speakernumber" ] || { say "the room's devices are not listed by Wine"; exit 1; }
mkdir -p "$work/program"
cp -r "$top/dist/roomcaster_quarn.exe" "$top/dist/plugin"* "$work/program/"
printf ' 10\r\n 10\r\n %d\r\n %d\r\n 1\r\n %d\r\n' "$micnumber" "$speakernumber" "$firstrunblocksize" \
  >"$work/program/roomcaster_quarn.ini"
say "starting roomcaster_quarn --audio $firstrunaudio in a simulated room (display $DISPLAY)"
( cd "$work/program" && exec wine ./roomcaster_quarn.exe --audio "$firstrunaudio" </dev/null >"$work/quarn.log" 2>&1 ) &
quarnpid=$!
window=""
for _ in $(seq 300); do
  window="$(xdotool search --onlyvisible --name '^roomcaster_quarn$' 2>/dev/null | head -n 1 || true)"
  [ -n "$window" ] && break
  kill -0 "$quarnpid" 2>/dev/null || { say "roomcaster_quarn ended at its start"; exit 1; }
  sleep 0.1
done
[ -n "$window" ] || { say "no window of roomcaster_quarn in 30 s"; exit 1; }
# 3 s of silence and a 3 s fade-in after the devices open.
sleep 8
say "the talker speaks for $(printf '%.0f' "$talkerseconds") s; recording the room"
# The screen, cut to the window's place on it.
( sleep $(( ${talkerseconds%.*} / 2 ))
  eval "$(xdotool getwindowgeometry --shell "$window")"
  timeout 20 import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/window.png" ) &
shotpid=$!
"$python" "$top/tools/demoroom.py" record "$mic" "$speaker" "$work/talker.wav" "$out" >"$work/result.txt"
wait "$shotpid" || true

# Quit as a user does: Escape, held long enough for the program's key test.
xdotool windowfocus "$window" 2>/dev/null || true
xdotool keydown --window "$window" Escape && sleep 0.3 && xdotool keyup --window "$window" Escape
quitcleanly=no
for _ in $(seq 100); do
  kill -0 "$quarnpid" 2>/dev/null || { quitcleanly=yes; break; }
  sleep 0.1
done
if [ "$quitcleanly" = yes ] && wait "$quarnpid" && [ -s "$work/program/roomcaster_quarn.ini" ]; then
  quit="roomcaster_quarn quit on Escape and wrote its settings file"
else
  quit="roomcaster_quarn did not quit on Escape; it was ended"
  kill "$quarnpid" 2>/dev/null || true
fi
quarnpid=""
value() { awk -v k="$1" '$1 == k { print $2 }' "$work/result.txt"; }
cat >&2 <<EOF
demo: what the room heard, $(value seconds) s:
  $out/room.wav         the loudspeakers: the talker through roomcaster_quarn
  $out/microphone.wav   the microphone: the talker, and the loudspeakers at a safe gain
  $out/levels.png       input and output levels over time
  $out/window.png       the window, halfway through
  round trip (microphone to loudspeakers): $(value roundtrip_ms) ms
  the loudspeakers follow the microphone with a correlation of $(value correlation)
  lost: $(value gaps) silent gaps in the output ($(value gap_ms) ms)
  $quit
EOF
[ "$quitcleanly" = yes ]
