#!/bin/sh
# livehowl.sh LIVE.exe HOWLCUT.dll: roomcaster_live in a room that howls.
# The room: the speaker's sound comes back into the microphone through a
# resonance (a peak of +12 dB at 1 kHz, Q 10, as a room mode or a
# loudspeaker's horn gives) at a loop gain above the stable gain, with quiet
# noise in the room. The path gain of 1.8 is about 3 dB above where this
# room first howls (1.2 to 1.4), within what howlcut adds in the bench's
# rooms (up to 4.5 dB). Measured from outside, on the speaker's monitor,
# over the last 10 s of each 30 s run; the first 20 s hold the start-up
# silence, the fade-in and howlcut's first notches.
# A howl is one tone taking the output over: its 1/6 octave holds more than
# a quarter of the output's power. How loud it is, the engine's level
# control decides: depending on the round trip, which differs from run to
# run, it lets the howl build and pulls it down hard, again and again (a
# peak near 2000), or holds it steady and quiet (a peak near 150). Without
# plug-ins the room howls; with howlcut in plugin2, as a user installs it,
# no band of 1/6 octave holds more than an eighth of the output (the room's
# noise alone puts 1/30 to 1/60 in the strongest) in more than 2 of the
# 10 s, and its peak is not twice that without. Those 2 s are for a howl
# that comes back as howlcut gives a notch back (it does so 10 s after the
# howl was last heard, 3 dB every 2 s), and is caught again: where that
# falls in the run decides whether it lands in the last 10 s.
# For looking closer: HOWL_KEEP=FOLDER keeps both recordings there;
# HOWL_Q, HOWL_PATHGAIN and HOWL_SECONDS change the room and the runs.
set -eu
live="$1" howlcut="$2"
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../engine/devices/soundroom.sh"
fail() { echo "FAIL: $*"; exit 1; }
# Debian's python3, which has numpy (not one that a python version manager puts first).
python=/usr/bin/python3
[ -x "$python" ] || python=python3
"$python" -c 'import numpy' 2>/dev/null || fail "python3 with numpy is needed to measure"

makeroom howl
# Quieter than the room noise of the other live tests: the howl has to grow
# out of it, not be drowned by it.
sox -n -r 44100 -c 2 -b 16 -e signed-integer "$scratch/noise.wav" synth 20 pinknoise vol 0.02 2>/dev/null
playnoise
raw="--raw --format=s16le --rate=44100 --channels=2 --latency-msec=20"
( parec -d "$speaker.monitor" $raw |
  sox --buffer 1024 -t raw -r 44100 -e signed -b 16 -c 2 - -t raw - equalizer 1000 ${HOWL_Q:-10}q +12 vol "${HOWL_PATHGAIN:-1.8}" 2>/dev/null |
  pacat -d "$mic" $raw ) &
roompids="$roompids $!"

# run NAME: the program in a folder of its own (with howlcut when NAME is
# "with"), recorded for its whole run; prints "HZ SHARE_DB PEAK HOWLING" of the
# last 10 s (howlsignal.py).
run() {
  prog="$scratch/$1"
  mkdir -p "$prog"
  cp "$live" "$prog/"
  if [ "$1" = with ]; then mkdir -p "$prog/plugin2" && cp "$howlcut" "$prog/plugin2/"; fi
  ( cd "$prog" && exec wine ./roomcaster_live.exe --buffersize 1500 --seconds "${HOWL_SECONDS:-30}" \
      --wavein "Monitor of $mic" --waveout "$speaker" </dev/null >"$scratch/$1.out" 2>"$scratch/$1.err" ) &
  livepid=$!
  record "$(( ${HOWL_SECONDS:-30} + 2 ))" "$scratch/$1.raw"
  wait "$livepid" || fail "roomcaster_live ($1) ended with an error: $(grep -v ALSA "$scratch/$1.err" | tail -3)"
  sox -t raw -r 44100 -e signed -b 16 -c 2 "$scratch/$1.raw" "$scratch/$1.wav"
  [ -z "${HOWL_KEEP:-}" ] || cp "$scratch/$1.wav" "$HOWL_KEEP/"
  "$python" "$here/howlsignal.py" howl "$scratch/$1.wav" 10
}
set -- $(run without)
without="$*"
set -- $(run with)
with="$*"
echo "strongest 1/6 octave of the last 10 s (Hz, share of the output in dB, peak, seconds howling): without $without; with howlcut $with"
set -- $without
withoutshare="$2" withoutpeak="$3"
awk -v s="$withoutshare" 'BEGIN { exit !(s > -6) }' ||
  fail "the room does not howl without howlcut: no test"
set -- $with
# Not howling: no tone holds more than an eighth of the output but for a
# return caught within 2 s, and it is not twice as loud (no broadband roar
# instead).
awk -v howling="$4" -v with="$3" -v without="$withoutpeak" 'BEGIN { exit !(howling <= 2 && with < 2 * without) }' ||
  fail "the room still howls with howlcut"
echo "the room howls without howlcut and not with it"
