#!/bin/sh
# contents.sh ZIP NAME CONTENTS.txt STRIP PATH=SOURCE...: the archive holds one
# folder NAME with exactly the files CONTENTS.txt lists (so nothing a run or a
# test wrote: no settings file, no log), and each PATH in it is SOURCE (a
# program stripped as the archive strips them). strip stamps the time it ran
# into a program's header (and so its checksum): those two fields are left out
# of the comparison.
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
# unstamp FILE: zero the PE header's time stamp and the optional header's checksum.
unstamp() {
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  for at in $((pe + 8)) $((pe + 88)); do
    dd if=/dev/zero of="$1" bs=1 seek="$at" count=4 conv=notrunc 2>/dev/null
  done
}
for pair in "$@"; do
  path=${pair%%=*} source=${pair#*=}
  case "$path" in
    *.exe | *.dll)
      "$strip" -o "$dir/stripped" "$source" && source="$dir/stripped"
      unstamp "$dir/stripped" && unstamp "$dir/$name/$path"
      ;;
  esac
  cmp -s "$source" "$dir/$name/$path" || fail "$path in the archive is not the build's $source"
done
echo "$(basename "$zip"): the $(wc -l <"$dir/listing") files that ship, $(stat -c %s "$zip") bytes"
