#!/bin/sh
# matchnative.sh NATIVE_RENDER WINDOWS_RENDER: both renderers, same input and
# settings, must write identical files (the arithmetic is the same on both),
# also from a mono float input, which the reader rounds to 16 bits.
set -eu
native="$1"; windows="$2"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
sox -n -r 44100 -c 2 -b 16 "$dir/in.wav" synth 9 sine 220 sine 331 remix 1 2 vol 0.6 2>/dev/null ||
  { echo "sox is needed to make the test signal"; exit 1; }
for opts in "" "--buffersize 1500 --set pan=0.5 --set wet=1" "--set inputmode=99 --set outputmode=99"; do
  "$native" $opts "$dir/in.wav" "$dir/native.wav"
  wine "$windows" $opts "$dir/in.wav" "$dir/windows.wav" 2>/dev/null
  cmp "$dir/native.wav" "$dir/windows.wav" || { echo "outputs differ with options '$opts'"; exit 1; }
done
sox -n -r 44100 -c 1 -b 32 -e floating-point "$dir/float.wav" synth 9 sine 220 vol 1.2 2>/dev/null
"$native" "$dir/float.wav" "$dir/native.wav"
wine "$windows" "$dir/float.wav" "$dir/windows.wav" 2>/dev/null
cmp "$dir/native.wav" "$dir/windows.wav" || { echo "outputs differ from a mono float input"; exit 1; }
echo "identical"
