#!/bin/sh
# unpacked.sh ZIP NAME TESTS.exe: the archive unpacked as a user would, into a
# fresh folder on drive C: whose path has a space in it; then TESTS.exe (under
# Wine) runs the programs from C:\quarn release N\NAME. The folder goes at the end.
set -eu
zip="$1" name="$2" tests="$3"
drive=$(winepath -u 'C:\' 2>/dev/null)
folder="quarn release $$"
mkdir "$drive/$folder"
trap 'rm -rf "$drive/$folder"' EXIT
(cd "$drive/$folder" && cmake -E tar xf "$zip")
wine "$tests" "C:\\$folder\\$name"
