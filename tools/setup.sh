#!/usr/bin/env bash
# Installs what building and testing roomcaster_quarn needs on Debian 12, and
# only what is missing. Run as root (or with sudo available).
#
# It never removes or replaces a package: apt's plan is simulated first, and
# when apt would remove anything setup stops and names it; the install itself
# runs with --no-remove. A sound server is installed only where none is:
# PipeWire with its PulseAudio interface; a system that has PulseAudio keeps it
# (Debian's pipewire-audio conflicts with pulseaudio, so the two never meet).
#
#   tools/setup.sh             install what is missing
#   tools/setup.sh --list      print the packages this system needs, one a line
#   tools/setup.sh --simulate  print apt's plan for them; exit 1 if it removes anything
set -euo pipefail

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

pkgs=(cmake make g++ git python3
      g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
      googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
      wine wine64 xvfb xdotool x11-utils imagemagick
      pulseaudio-utils sox espeak-ng fluidsynth fluid-soundfont-gm python3-numpy python3-matplotlib)
# The sound server: what the system has is left as it is. pulseaudio-utils
# (pactl, parec, paplay) talks to either and conflicts with neither.
if installed pipewire-pulse || installed pipewire-audio; then
  pkgs+=(pipewire wireplumber dbus)
elif installed pulseaudio; then
  :  # a PulseAudio system: tools/services.sh starts PulseAudio when none runs
else
  pkgs+=(pipewire pipewire-pulse wireplumber dbus)
fi
pkgs+=(${QUARN_SETUP_EXTRA:-})  # a test adds a package here to see the guard work

case "${1:-}" in
  --list) printf '%s\n' "${pkgs[@]}"; exit 0 ;;
  --simulate) missing=("${pkgs[@]}") ;;
  "")
    missing=()
    for p in "${pkgs[@]}"; do installed "$p" || missing+=("$p"); done
    [ ${#missing[@]} -eq 0 ] && exit 0 ;;
  *) echo "usage: tools/setup.sh [--list | --simulate]" >&2; exit 2 ;;
esac

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# On a terminal apt shows its progress; elsewhere (a CI log) it is quiet, and
# its own words are shown only when it fails.
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
apt() {
  if [ -t 1 ]; then
    $sudo apt-get "$@"
  elif ! $sudo apt-get -qq "$@" >"$log" 2>&1; then
    cat "$log" >&2
    return 1
  fi
}
if [ "${1:-}" != "--simulate" ]; then
  echo "setup: fetching the package lists to install ${missing[*]}" >&2
  apt update || { echo "setup: apt-get update failed (above)" >&2; exit 1; }
fi

# apt's plan, simulated (no root needed): "Remv" lines are packages it would remove.
if ! simulated="$(apt-get -s install --no-install-recommends "${missing[@]}" 2>&1)"; then
  echo "setup: apt cannot install ${missing[*]}:" >&2
  echo "$simulated" | grep -E '^(E:|W:)' >&2 || echo "$simulated" | tail -n 5 >&2
  exit 1
fi
removals="$(echo "$simulated" | sed -n 's/^Remv \([^ ]*\).*/\1/p' | tr '\n' ' ')"
if [ -n "$removals" ]; then
  echo "setup: stopped, nothing was changed. Installing ${missing[*]} would remove: $removals" >&2
  echo "setup: install the packages by hand, choosing what to keep." >&2
  exit 1
fi
if [ "${1:-}" = "--simulate" ]; then
  echo "$simulated" | grep -E '^Inst ' || echo "setup: everything is installed"
  echo "setup: apt would remove nothing"
  exit 0
fi

echo "setup: installing ${missing[*]}" >&2
apt install -y --no-remove --no-install-recommends "${missing[@]}" || { echo "setup: apt-get install failed (above)" >&2; exit 1; }
