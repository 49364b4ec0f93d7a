#!/bin/sh
# console.sh RENDER.exe: under Wine the progress line shows on a console only:
# on a terminal (script(1)) it ends at 100 % with the pace and the time left;
# with --quiet, or with stderr going to a file, nothing is shown.
set -eu
render="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
sox -n -r 44100 -c 2 -b 16 "$dir/in.wav" synth 5 sine 330 2>/dev/null || fail "sox is needed to make the test signal"
# What a terminal showed, as text: Wine's console draws through escape
# sequences and moves the cursor over spaces, so those are dropped.
onconsole() {
  script -qec "wine '$render' $1" /dev/null </dev/null 2>&1 | sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' | tr -d ' \r'
}
shown=$(onconsole "'$dir/in.wav' '$dir/a.wav'")
echo "$shown" | grep -q "rendering100%,.*xrealtime,0:00left" || fail "no progress line on a console: $shown"
shown=$(onconsole "--quiet '$dir/in.wav' '$dir/b.wav'")
echo "$shown" | grep -q rendering && fail "--quiet shows the progress line: $shown"
wine "$render" "$dir/in.wav" "$dir/c.wav" 2>"$dir/stderr.txt"
[ ! -s "$dir/stderr.txt" ] || fail "a progress line written into a file: $(cat -v "$dir/stderr.txt")"
echo "progress line on a console only"
