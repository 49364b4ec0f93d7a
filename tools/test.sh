#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
# the native unit tests (ASan/UBSan), every fuzz target for a short time
# (tools/fuzz.sh) and the Windows tests under Wine; then makes the release
# archive, tests it and says where it is.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/tools/setup.sh"
# The tests run in a Wine prefix of their own, so what they set there (below)
# never reaches the prefix tools/run.sh starts the user's program in.
: "${QUARN_STATE:=${XDG_RUNTIME_DIR:-/tmp}/roomcaster_quarn-$(id -u)}"
export QUARN_STATE QUARN_WINEPREFIX="${XDG_CACHE_HOME:-$HOME/.cache}/roomcaster_quarn/wineprefix-tests"
source "$top/tools/services.sh"
# Without a window manager every closing dialog stalls Wine about 2 s unless its
# windows are unmanaged; the tests answer many dialogs. (Not for run.sh: on a
# user's desktop the window manager should keep decorating Wine's windows.)
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
# A test program that crashes ends at once instead of waiting behind a crash dialog.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
# Wine keeps every audio device it has ever seen in the prefix, and walks them
# all on a program's first audio call. The tests' null sinks each have a name
# of their own, so run after run they piled up: with 416, every program took
# 12 s to list its devices (0.4 s with none), its window thread busy the while.
# The tests start from the devices there are.
wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\MMDevices\Audio' /f >/dev/null 2>&1 || true
bash "$top/tools/build.sh" --native

status=0
echo "== native tests"
ctest --test-dir "$top/build/native" --output-on-failure -j "$(nproc)" || status=1
echo "== fuzz targets, 20 s each"
bash "$top/tools/fuzz.sh" 20 || status=1
echo "== Windows tests under Wine"
ctest --test-dir "$top/build/windows" --output-on-failure -LE release || status=1
echo "== release archive: made by CPack, then tested as a user gets it (tests/release)"
release="$top/build/windows/$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$top/build/windows/CPackConfig.cmake" || true).zip"
if ctest --test-dir "$top/build/windows" --output-on-failure -L release; then
  echo "release archive, tested: $release ($(stat -c %s "$release") bytes)"
else
  status=1
fi
exit $status
