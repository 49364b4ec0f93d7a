#!/bin/sh
# contents.sh ZIP NAME CONTENTS.txt STRIP PATH=SOURCE...: the archive holds one
# folder NAME with exactly the files CONTENTS.txt lists (so nothing a run or a
# test wrote: no settings file, no log), and each PATH in it is SOURCE (a
# program stripped as the archive strips them).
set -eu
zip="$1" name="$2" expected="$3" strip="$4"
shift 4
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
[ -f "$zip" ] || fail "no archive $zip"
cmake -E tar tf "$zip" | grep -v '/$' | sort >"$dir/listing"
sed "s|^|$name/|" "$expected" | sort >"$dir/expected"
diff -u "$dir/expected" "$dir/listing" || fail "the archive does not hold what ships (-: missing, +: not to ship)"
(cd "$dir" && cmake -E tar xf "$zip")
# Byte for byte, but strip writes the time it runs into a program's header (the
# time stamp at PE+8 and the checksum at PE+88): two strips a second apart differ there.
samepe() {
  [ "$(stat -c %s "$1")" = "$(stat -c %s "$2")" ] || return 1
  pe=$(od -A n -t u4 -j 60 -N 4 "$2" | tr -d ' ')
  case "$2" in *.exe | *.dll) ;; *) pe=-1000 ;; esac
  [ -z "$(cmp -l "$1" "$2" | awk -v pe="$pe" '{ o = $1 - 1 } !(o >= pe + 8 && o < pe + 12) && !(o >= pe + 88 && o < pe + 92)')" ]
}
for pair in "$@"; do
  path=${pair%%=*} source=${pair#*=}
  case "$path" in
    *.exe | *.dll) "$strip" -o "$dir/stripped" "$source" && source="$dir/stripped" ;;
  esac
  samepe "$source" "$dir/$name/$path" || fail "$path in the archive is not the build's $source"
done
echo "$(basename "$zip"): the $(wc -l <"$dir/listing") files that ship, $(stat -c %s "$zip") bytes"
