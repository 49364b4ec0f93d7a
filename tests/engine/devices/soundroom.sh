# soundroom.sh: sourced by the live-program scripts. Two null sinks of this
# test only, on the shared sound server (never its defaults): noise plays into
# $mic, the program records "Monitor of $mic" and plays into $speaker.
#   makeroom NAME          loads the sinks ($mic, $speaker), unloaded at exit
#   playnoise / stopnoise  noise into $mic, in a loop
#   peak FILE.raw [SECONDS]  highest |sample| of a raw recording (its last SECONDS)
#   record SECONDS FILE.raw  records $speaker's monitor
#   waitstatus FILE N PID  waits for the program's Nth status line
# Exits 77 (skipped) when no sound server is reachable. The test command's
# own server, ended in an earlier case (a crash), is first started afresh.
pactl info >/dev/null 2>&1 || [ -z "${QUARN_SERVICES:-}" ] || bash "$QUARN_SERVICES" >/dev/null 2>&1 || true
pactl info >/dev/null 2>&1 || { echo "no sound server reachable: skipped"; exit 77; }
scratch=$(mktemp -d)
roommodules=""
roompids=""
kernelmark=$(dmesg 2>/dev/null | grep -c 'segfault' || true)
# A server that went away during the case fails it, whatever else the case
# found, with the kernel's word on the crash where it can be read.
serverended() {
  pactl info >/dev/null 2>&1 && return 1
  echo "FAIL: the sound server ended during this case"
  dmesg 2>/dev/null | grep 'segfault' | tail -n +"$((${kernelmark:-0} + 1))" | grep -i 'pipewire\|pulse' || true
  return 0
}
cleanroom() {
  for p in $roompids; do stoploop "$p"; done
  for m in $roommodules; do pactl unload-module "$m" 2>/dev/null || true; done
  rm -rf "$scratch"
  if serverended; then exit 1; fi
}
trap cleanroom EXIT
loadsink() { pactl load-module module-null-sink sink_name="$1" sink_properties=device.description="$1"; }
makeroom() {
  mic="${1}mic$$" speaker="${1}spk$$"
  micmodule=$(loadsink "$mic") && speakermodule=$(loadsink "$speaker") || { echo "no null sink"; exit 1; }
  roommodules="$micmodule $speakermodule"
  sox -n -r 44100 -c 2 -b 16 -e signed-integer "$scratch/noise.wav" synth 20 pinknoise vol 0.3 2>/dev/null
}
playnoise() {
  ( while true; do paplay -d "$mic" "$scratch/noise.wav" || sleep 0.5; done ) &
  noisepid=$!
  roompids="$roompids $noisepid"
}
# A background loop and the player it runs, by their ids (never by name).
stoploop() {
  children=$(ps -o pid= --ppid "$1" 2>/dev/null || true)
  kill "$1" 2>/dev/null || true
  for c in $children; do kill "$c" 2>/dev/null || true; done
}
stopnoise() { stoploop "$noisepid"; }
# Short fragments: parec otherwise holds about 2 s back, lost when it is stopped.
record() {
  timeout "$1" parec --latency-msec=20 -d "$speaker.monitor" --raw --format=s16le --rate=44100 --channels=2 >"$2" || true
}
peak() {
  if [ -n "${2:-}" ]; then
    sox -t raw -r 44100 -e signed -b 16 -c 2 "$1" -n trim "-$2" stat 2>&1
  else
    sox -t raw -r 44100 -e signed -b 16 -c 2 "$1" -n stat 2>&1
  fi | awk '/Maximum amplitude/ { m = $3 } /Minimum amplitude/ { n = -$3 } END { printf "%d\n", (m > n ? m : n) * 32768 }'
}
# waitstatus FILE N PID: returns once the program (process PID), its output
# in FILE, has printed N status lines since its devices opened: about one a
# second, so N=7 is past its 3 s of silence and 3 s fade-in, however long Wine
# took to start it on a busy machine. Fails the case if the program ends first
# or a minute passes with no new line.
waitstatus() {
  last=-1 still=0
  while :; do
    lines=$(grep -c '^in ' "$1" 2>/dev/null || true)
    [ "$lines" -ge "$2" ] && return 0
    kill -0 "$3" 2>/dev/null || { echo "FAIL: the program ended before its status line $2"; exit 1; }
    if [ "$lines" = "$last" ]; then still=$((still + 1)); else last=$lines still=0; fi
    [ "$still" -lt 600 ] || { echo "FAIL: no status line from the program for 60 s ($lines of $2)"; exit 1; }
    sleep 0.1
  done
}
