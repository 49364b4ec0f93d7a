#!/bin/sh
# liveexit.sh PROGRAM.exe: roomcaster_live's exit status and streams tell a
# script whether sound ran.
# - Without a sound server for it, it names the devices it could not open on
#   stderr and exits 3 at once (where the machine has no sound card of its own).
# - --quiet leaves only the summary on stdout; a warning (a device number not
#   offered) goes to stderr; exit 0 when the sound ran.
set -eu
program="$1"
. "$(dirname "$0")/soundroom.sh"
fail() { echo "FAIL: $*"; exit 1; }
run() { ( cd "$(dirname "$program")" && exec wine "./$(basename "$program")" "$@" </dev/null >"$scratch/out" 2>"$scratch/err" ); }

if grep -q '^ *[0-9]' /proc/asound/cards 2>/dev/null; then
  echo "a sound card is present: Wine would open it without a server; missing device not tried"
else
  status=0
  PULSE_SERVER="unix:$scratch/no-server" run --seconds 20 || status=$?
  [ "$status" = 3 ] || fail "without a server: status $status, not 3 ($(grep -v ALSA "$scratch/err"))"
  grep -q "could not be opened" "$scratch/err" || fail "no word of the device on stderr: $(grep -v ALSA "$scratch/err")"
  [ ! -s "$scratch/out" ] || fail "without a server stdout holds: $(cat "$scratch/out")"
fi

makeroom quiet
playnoise
status=0
run --quiet --seconds 5 --buffersize 882 --wavein 999 --waveout "$speaker" || status=$?
[ "$status" = 0 ] || fail "quiet run: status $status ($(grep -v ALSA "$scratch/err"))"
[ "$(wc -l <"$scratch/out")" = 1 ] && grep -q "^roomcaster_live: .* processed" "$scratch/out" ||
  fail "--quiet stdout is not only the summary: $(cat "$scratch/out")"
grep -q "capture device 999 is not offered" "$scratch/err" || fail "the warning is not on stderr: $(grep -v ALSA "$scratch/err")"
echo "no server: exit 3 with the devices named; --quiet: $(cat "$scratch/out")"
