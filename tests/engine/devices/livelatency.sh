#!/bin/sh
# roomcaster_quarn as the run command starts it (the audio-client back end, its
# block size, its plug-ins) between two null sinks of its own
# (tools/latency.sh): a click train played into one must come out of the
# other. Measured on a quiet machine, none of 60 clicks is lost in two minutes;
# the test fails when more than one in five is, which is a broken audio path,
# not a slow machine.
#   livelatency.sh TOP
# Exits 77 (skipped) when no sound server is reachable.
pactl info >/dev/null 2>&1 || { echo "no sound server reachable: skipped"; exit 77; }
. "$1/tools/firstrun.sh"
out=$(mktemp)
trap 'rm -f "$out"' EXIT
# latency.sh runs a copy of the program and its plug-ins in a folder of its own.
bash "$1/tools/latency.sh" --program quarn "$firstrunblocksize" 20 --audio "$firstrunaudio" >"$out" 2>&1
cat "$out"
set -- $(sed -n 's/^clicks \([0-9]*\)  lost \([0-9]*\)$/\1 \2/p' "$out")
[ -n "${1:-}" ] || { echo "FAIL: no click count"; exit 1; }
[ "$1" -ge 8 ] || { echo "FAIL: only $1 clicks went in (10 expected)"; exit 1; }
[ $(( $2 * 5 )) -le "$1" ] || { echo "FAIL: $2 of $1 clicks lost"; exit 1; }
echo "ok: $2 of $1 clicks lost"
