// quarnroom.cpp: null sinks and a loopback as a room (see quarnroom.h).
#include "tests/app/quarnroom.h"

#include <windows.h>

#include "tests/app/quarndriver.h"
#include "tests/app/hostshell.h"

static std::string firstline(const std::string &s) { return s.substr(0, s.find('\n')); }

QuarnRoom::QuarnRoom() {
  // The test command's own server, ended in an earlier case (a crash), is
  // started afresh first (tools/services.sh run as a program).
  if (hostshell("pactl info >/dev/null 2>&1 || { [ -n \"$QUARN_SERVICES\" ] && "
                "bash \"$QUARN_SERVICES\" >/dev/null 2>&1; pactl info; }",
                60000)
          .status != 0)
    return;
  const std::string id = std::to_string(GetCurrentProcessId());
  speaker = "quarnroomspk" + id;
  mic = "quarnroommic" + id;
  for (const std::string &sink : {speaker, mic}) {
    HostResult r = hostshell("pactl load-module module-null-sink sink_name=" + sink +
                             " sink_properties=device.description=" + sink);
    if (r.status != 0) return;
    modules += ' ';
    modules += firstline(r.output);
  }
  ready = true;
}

QuarnRoom::~QuarnRoom() {
  hostshell("pkill -f 'paplay -d " + mic + "' ; pkill -f 'parec .* -d (" + speaker + "|" + mic + ")[.]monitor' ; true");
  for (size_t at = 0; (at = modules.find(' ', at)) != std::string::npos; ++at)
    hostshell("pactl unload-module " + modules.substr(at + 1, modules.find(' ', at + 1) - at - 1));
  removehostscratch();
}

bool QuarnRoom::loop(int percent) {
  HostResult r = hostshell("pactl load-module module-loopback source=" + speaker + ".monitor sink=" + mic +
                           " latency_msec=30");
  if (r.status != 0) return false;
  const std::string module = firstline(r.output);
  modules += " " + module;
  // The loopback's own stream into mic carries the loop gain. It is found by its
  // owner module, which PulseAudio and PipeWire both list in the long form.
  r = hostshell("for i in $(seq 50); do n=$(pactl list sink-inputs | awk -v m=" + module +
                " '/^Sink Input #/ {id = substr($3, 2)} /Owner Module:/ && $3 == m {print id}'); "
                "[ -n \"$n\" ] && break; sleep 0.1; done; echo \"$n\"");
  loopinput = firstline(r.output);
  return r.status == 0 && !loopinput.empty() && setloop(percent);
}

bool QuarnRoom::setloop(int percent) {
  return hostshell("pactl set-sink-input-volume " + loopinput + " " + std::to_string(percent) + "%").status == 0;
}

void QuarnRoom::play(const std::string &hostfile) {
  hostshell("(paplay -d " + mic + " '" + hostfile + "' >/dev/null 2>&1 &)");
}

// parec of a sink's monitor for `seconds` into a host WAV file. A short
// latency: at parec's own (about 2 s on PipeWire) the first samples come after
// the time is up.
static std::string recording(const std::string &sink, const std::string &hostfile, double seconds) {
  return "timeout " + std::to_string(seconds) + " parec --latency-msec=20 -d " + sink +
         ".monitor --file-format=wav --format=s16le --rate=44100 --channels=2 '" + hostfile + "'";
}

bool QuarnRoom::record(const std::string &hostfile, double seconds) {
  // The file holds more than its 44-byte header.
  return hostshell(recording(speaker, hostfile, seconds) + "; test $(stat -c %s '" + hostfile + "') -gt 44",
                   static_cast<int>(seconds * 1000) + 10000)
             .status == 0;
}

void QuarnRoom::listen(const std::string &hostfile, double seconds) {
  hostshell("(" + recording(mic, hostfile, seconds) + " >/dev/null 2>&1; touch '" + hostfile + ".done') &");
}

bool QuarnRoom::listened(const std::string &hostfile, int timeoutms) {
  return hostshell("for i in $(seq " + std::to_string(timeoutms / 100) + "); do [ -e '" + hostfile +
                       ".done' ] && exit 0; sleep 0.1; done; exit 1",
                   timeoutms + 10000)
             .status == 0;
}

static int positionof(const QuarnRun &q, const char *list, const std::string &name) {
  const std::vector<std::string> entries = comboentries(control(q, list));
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i] == name) return static_cast<int>(i) + 1;
  return 0;
}

bool QuarnRoom::enter(const QuarnRun &q) {
  const int out = positionof(q, "win.waveout", speaker), in = positionof(q, "win.wavein", "Monitor of " + mic);
  if (!out || !in) return false;
  choose(q, "win.waveout", out);
  if (answerbox("confirm", IDCANCEL, 15000) != "test loop ? (adjust gain)") return false;
  Sleep(500);
  choose(q, "win.wavein", in);
  HWND box = 0;
  return waituntil([&] { return (box = FindWindowA("#32770", "confirm")) && IsWindowVisible(box); }, 15000);
}
