#!/bin/sh
# setupplan.sh SETUP.sh: tools/setup.sh does no harm.
# - On this system, apt's simulated plan for every package setup wants removes nothing.
# - A plan that would remove a package is refused, naming it.
# - The sound server it wants matches the one a system has: PipeWire's
#   packages beside pipewire-audio, none beside PulseAudio, PipeWire on a
#   system with neither; never pulseaudio itself.
set -eu
setup="$1"
fail() { echo "FAIL: $*"; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

bash "$setup" --simulate >"$scratch/plan" 2>&1 || fail "apt's plan on this system: $(cat "$scratch/plan")"
grep -q "would remove nothing" "$scratch/plan" || fail "no verdict: $(cat "$scratch/plan")"

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
conflicting=""
if installed pulseaudio && ! installed pipewire-audio; then conflicting=pipewire-audio removed=pulseaudio
elif installed pipewire-audio && ! installed pulseaudio; then conflicting=pulseaudio removed=pipewire-audio
fi
if [ -n "$conflicting" ]; then
  status=0
  QUARN_SETUP_EXTRA=$conflicting bash "$setup" --simulate >"$scratch/guard" 2>&1 || status=$?
  [ "$status" = 1 ] || fail "a plan removing $removed was not refused (status $status)"
  grep -q "would remove: .*$removed" "$scratch/guard" || fail "the refusal does not name $removed: $(cat "$scratch/guard")"
fi

# A dpkg-query that reports the packages in $FAKEINSTALLED as installed.
mkdir "$scratch/bin"
cat >"$scratch/bin/dpkg-query" <<'FAKE'
#!/bin/sh
for p in $FAKEINSTALLED; do [ "$p" = "$3" ] && { printf 'install ok installed'; exit 0; }; done
exit 1
FAKE
chmod +x "$scratch/bin/dpkg-query"
wants() { PATH="$scratch/bin:$PATH" FAKEINSTALLED="$1" bash "$setup" --list; }
has() { echo "$1" | grep -qx "$2"; }

list=$(wants "pipewire pipewire-pulse pipewire-audio wireplumber")
has "$list" pulseaudio && fail "pulseaudio wanted beside pipewire-audio"
has "$list" python3 && has "$list" g++-mingw-w64-x86-64-posix || fail "python3 or the x86-64 posix compiler not wanted"
has "$list" mingw-w64 || has "$list" g++-mingw-w64-i686-posix && fail "more MinGW than the x86-64 posix toolchain wanted"
list=$(wants "pulseaudio")
for p in pulseaudio pipewire-pulse wireplumber pipewire-audio; do
  has "$list" "$p" && fail "$p wanted on a PulseAudio system"
done
has "$list" pulseaudio-utils || fail "pulseaudio-utils (pactl) not wanted"
list=$(wants "")
has "$list" pipewire-pulse && has "$list" wireplumber || fail "no sound server wanted where none is"
has "$list" pulseaudio && fail "pulseaudio wanted where none is"
echo "apt's plan removes nothing here; a removing plan is refused; the sound server follows the system's"
