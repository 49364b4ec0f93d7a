#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
# the native unit tests (ASan/UBSan), every fuzz target for a short time
# (tools/fuzz.sh) and the Windows tests under Wine.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/tools/setup.sh"
source "$top/tools/services.sh"
bash "$top/tools/build.sh" --native

status=0
echo "== native tests"
ctest --test-dir "$top/build/native" --output-on-failure -j "$(nproc)" || status=1
echo "== fuzz targets, 20 s each"
bash "$top/tools/fuzz.sh" 20 || status=1
echo "== Windows tests under Wine"
ctest --test-dir "$top/build/windows" --output-on-failure || status=1
exit $status
