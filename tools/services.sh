# Sourced by run.sh and test.sh: makes a display, a sound server and a Wine
# prefix reachable. A user's own display and sound server are used as they are;
# a virtual display (Xvfb) and a PulseAudio server with a null sink are started
# only when none is reachable.

: "${QUARN_STATE:=${XDG_RUNTIME_DIR:-/tmp}/roomcaster_quarn-$(id -u)}"
mkdir -p "$QUARN_STATE"

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="${QUARN_WINEPREFIX:-$QUARN_STATE/wineprefix}"

displayreachable() { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }
# A virtual display started here earlier is used again.
if ! displayreachable && [ -f "$QUARN_STATE/display" ]; then
  export DISPLAY="$(cat "$QUARN_STATE/display")"
  displayreachable || unset DISPLAY
fi
if ! displayreachable; then
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$QUARN_STATE/xvfb.log" 2>&1 &
    export DISPLAY=":$n"
    for _ in $(seq 50); do displayreachable && break; sleep 0.1; done
    displayreachable && echo "$DISPLAY" >"$QUARN_STATE/display"
    break
  done
  displayreachable || echo "services: no display could be started" >&2
fi

if ! pactl info >/dev/null 2>&1; then
  pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
    --load="module-null-sink sink_name=room" \
    --load="module-native-protocol-unix" >"$QUARN_STATE/pulse.log" 2>&1 || true
  for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pactl info >/dev/null 2>&1 || echo "services: no sound server could be started" >&2
fi

# Wine turns a thread's Windows priority into a Unix nice value only when the
# wineserver may lower nice values (RLIMIT_NICE above 20); otherwise the
# time-critical audio callback thread runs like any other and, on a busy
# machine, completions arrive late and bunched. Raised here when permitted
# (root outside a container); a Wine server already running keeps its limit.
ulimit -H -e 40 2>/dev/null || true
ulimit -S -e "$(ulimit -H -e)" 2>/dev/null || true

# One Wine server for the whole session: later starts take about a second.
wineserver -p >/dev/null 2>&1 || true
