#!/usr/bin/env bash
# Installs what building and testing roomcaster_quarn needs on Debian 12,
# and only what is missing. Run as root (or with sudo available).
set -euo pipefail

pkgs=(cmake make g++ git
      mingw-w64 g++-mingw-w64-x86-64 googletest libgtest-dev libbenchmark-dev
      wine wine64 xvfb xdotool x11-utils imagemagick
      pipewire pipewire-pulse wireplumber dbus pulseaudio pulseaudio-utils sox
      clang libclang-rt-14-dev
      python3 python3-numpy)

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "setup: installing ${missing[*]}" >&2
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
