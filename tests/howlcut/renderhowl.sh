#!/bin/sh
# renderhowl.sh RENDER.exe HOWLCUT.dll: a file with a howl building up in it,
# rendered with --plugin plugin2\howlcut.dll as a user would: twice the same
# bytes, no fault (status 0), the howl 10 dB lower against the noise around it
# than without the plug-in; with the plug-in chain off (tplug 0) the output is the one
# without plug-ins, byte for byte.
set -eu
render="$1" howlcut="$2"
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# Debian's python3, which has numpy (not one that a python version manager puts first).
python=/usr/bin/python3
[ -x "$python" ] || python=python3
mkdir -p "$dir/plugin2"
cp "$howlcut" "$dir/plugin2/"
"$python" "$here/howlsignal.py" make "$dir/in.wav" 10 1234 || fail "python3 with numpy is needed to make the signal"
cd "$dir"
run() {  # run OUT OPTIONS...: the renderer's exit status
  out="$1"
  shift
  status=0
  wine "$render" --quiet --set starttime=-6 "$@" in.wav "$out" 2>"$out.err" || status=$?
  echo "$status"
}
[ "$(run with1.wav --plugin 'plugin2\howlcut.dll')" = 0 ] || fail "render with howlcut: $(grep -v ALSA with1.wav.err)"
[ "$(run with2.wav --plugin 'plugin2\howlcut.dll')" = 0 ] || fail "second render with howlcut: $(grep -v ALSA with2.wav.err)"
cmp -s with1.wav with2.wav || fail "two renders with howlcut differ"
[ "$(run without.wav)" = 0 ] || fail "render without plug-ins"
[ "$(run chainoff.wav --set tplug=0 --plugin 'plugin2\howlcut.dll')" = 0 ] || fail "render with tplug 0"
cmp -s without.wav chainoff.wav || fail "with the chain off howlcut still changes the output"
[ ! -e plugin2/howlcut.ini ] || fail "a render wrote howlcut.ini (only its window does)"
with=$("$python" "$here/howlsignal.py" tone with1.wav 1234)
without=$("$python" "$here/howlsignal.py" tone without.wav 1234)
echo "the last 3 s near 1234 Hz over the noise around: ${without} dB without howlcut, ${with} dB with it"
awk -v a="$with" -v b="$without" 'BEGIN { exit !(a < b - 10) }' || fail "howlcut did not take the howl down by 10 dB"
echo "deterministic, fault-free, the howl cut"
