#!/bin/sh
# imports.sh OBJDUMP FIXTURE BINARY...: each BINARY imports only DLLs that come
# with every 64-bit Windows, so the programs run from their folder alone; and
# the check catches FIXTURE, a program linked against the MinGW runtime DLLs.
set -eu
objdump="$1" fixture="$2"
shift 2
# In System32 of every 64-bit Windows 10 and 11 (names without ".dll").
windows=" advapi32 avrt comctl32 comdlg32 dwmapi gdi32 gdiplus glu32 kernel32 ksuser msvcrt ole32 oleaut32 "
windows="$windows opengl32 propsys setupapi shell32 shlwapi ucrtbase user32 uxtheme version winmm ws2_32 "

dump=$(mktemp)
trap 'rm -f "$dump"' EXIT

# The DLLs a binary imports, lower case, one per line.
imports() {
  "$objdump" -p "$1" >"$dump" || { echo "(unreadable)"; return; }
  sed -n 's/^[[:space:]]*DLL Name: //p' "$dump" | tr 'A-Z' 'a-z' | tr -d '\r'
}
# Those that are not Windows' own.
foreign() {
  imports "$1" | while read -r dll; do
    case "$dll" in api-ms-win-*) continue ;; esac
    case "$windows" in *" ${dll%.dll} "*) continue ;; esac
    echo "$dll"
  done
}

status=0
for b in "$@"; do
  extra=$(foreign "$b" | tr '\n' ' ')
  if ! imports "$b" | grep -qx kernel32.dll; then
    echo "FAIL: $(basename "$b"): its imports could not be read"
    status=1
  elif [ -n "$extra" ]; then
    echo "FAIL: $(basename "$b") needs $extra- not part of Windows (a MinGW runtime DLL means a link without -static)"
    status=1
  else
    echo "$(basename "$b"): Windows' own DLLs only"
  fi
done
caught=$(foreign "$fixture")
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
  echo "$caught" | grep -qxF "$dll" || { echo "FAIL: the check does not catch $dll (it found: $caught)"; status=1; }
done
exit $status
