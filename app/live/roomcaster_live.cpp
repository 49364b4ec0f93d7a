// roomcaster_live: the live engine between a capture and a playback device, in a
// console. Opens the playback device, half a second later the capture device (with
// `gain` held at 0.01 while it opens), starts the engine's start-up silence and
// fade-in, and runs until Enter, Ctrl+C or --seconds; then closes capture, then
// playback (audiocycle.h). A device number the platform does not offer opens the
// default device instead. About once a second it prints a status line (levels and
// the block counters, livestatus.h; not with --quiet), and a summary of the
// counters at the end, on stdout; warnings and errors go to stderr. Exit status:
// 2 for a bad command line or an unknown device name, 3 when a device could not
// be opened at the start or after the last reopen, or when no block was
// processed (liveoptions.h); 0 otherwise.
// The line "r" closes and reopens both devices, as the
// main program does after a device change (devices named on the command line are
// looked up again, so one that went away and came back is found). Plug-ins are
// loaded from the plug-in folders beside the program before the devices open;
// one that faults is switched off and reported (pluginhost/pluginfaults.h).
// Threads: main (opens, waits, closes), a stdin reader (Enter), the console's
// control-event thread (Ctrl+C), and the audio threads of the chosen back end
// (--audio: the waveform API's callback thread, or the two stream threads).
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "app/audiocycle/audiocycle.h"
#include "app/live/liveoptions.h"
#include "app/live/livestatus.h"
#include "engine/engine.h"
#include "engine/devices/livedevices.h"
#include "pluginhost/pluginfaults.h"
#include "pluginhost/pluginhost.h"

static std::atomic<int> stoprequest{0};  // 1: leave the loop (Enter, Ctrl+C, time)
static std::atomic<int> reopenrequest{0};  // 1: reopen the devices (stdin reader writes, main clears)
static std::atomic<int> closed{0};       // 1: both devices are closed (main writes)

static LiveDevices devices;

static BOOL WINAPI onconsoleevent(DWORD event) {
  stoprequest = 1;
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
    // The process ends when this returns: give the devices time to close first.
    for (int i = 0; i < 250 && !closed; ++i) Sleep(20);
  }
  return TRUE;
}

// Enter stops the program; the line "r" asks for a reopen of the devices.
// Without a keyboard (stdin at its end) only Ctrl+C or --seconds stop it.
static void waitforenter() {
  std::string line;
  for (int c; (c = std::getchar()) != EOF;) {
    if (c != '\n') {
      line += static_cast<char>(c);
      continue;
    }
    if (line == "r" || line == "r\r") {
      reopenrequest = 1;
      line.clear();
      continue;
    }
    stoprequest = 1;
    return;
  }
}

// "capture device 2", "the default playback device".
static std::string devicelabel(const char *kind, int device) {
  return device == -1 ? std::string("the default ") + kind + " device"
                      : std::string(kind) + " device " + std::to_string(device);
}

// "capture device 2 "Monitor of room"", "the default playback device (not opened)".
static std::string devicename(const char *kind, int device, bool open, const char *name) {
  const std::string s = devicelabel(kind, device);
  if (!open) return s + " (not opened)";
  return s + " \"" + name + "\"";
}

// True when both devices are open; otherwise says on stderr which one is not.
static bool opened(int wavein, int waveout) {
  const bool in = captureisopen(devices), out = playbackisopen(devices);
  if (!in) std::fprintf(stderr, "roomcaster_live: %s could not be opened\n", devicelabel("capture", wavein).c_str());
  if (!out) std::fprintf(stderr, "roomcaster_live: %s could not be opened\n", devicelabel("playback", waveout).c_str());
  return in && out;
}

static void listdevices() {
  std::printf("capture devices (--wavein):\n");
  for (UINT i = 0, n = waveInGetNumDevs(); i < n; ++i) {
    WAVEINCAPSA c;
    if (waveInGetDevCapsA(i, &c, sizeof c) == 0) std::printf("  %u  %s\n", i, c.szPname);
  }
  std::printf("playback devices (--waveout):\n");
  for (UINT i = 0, n = waveOutGetNumDevs(); i < n; ++i) {
    WAVEOUTCAPSA c;
    if (waveOutGetDevCapsA(i, &c, sizeof c) == 0) std::printf("  %u  %s\n", i, c.szPname);
  }
}

// The levels of the latest blocks and the counters. Main thread, while both
// devices are open: the blocks it reads stay allocated until they close.
static LiveStatus readstatus() {
  LiveStatus s{};
  const int16_t *in = capturedblock.load();
  if (in) s.inputpeak = blockpeak(in, capturedcount.load());
  // The latest queued block is one of the six; the loudest of them is the level
  // of the last few blocks, read without asking the audio thread which is which.
  for (int i = 0; i < wavebuffercount; ++i)
    if (const int16_t *played = playbackbuffer(devices, i))
      s.outputpeak = std::max(s.outputpeak, blockpeak(played, 2 * playbackframes(devices)));
  s.captured = livecounters.captured.load();
  s.processed = livecounters.processed.load();
  s.dropped = livecounters.dropped.load();
  s.underruns = livecounters.underruns.load();
  s.bunched = livecounters.bunched.load();
  s.buffersize = engine.buffersize.load();
  s.starvedframes = livecounters.starvedframes.load();
  s.queueempty = livecounters.queueempty.load();
  s.discontinuities = livecounters.discontinuities.load();
  s.lostframes = livecounters.lostframes.load();
  return s;
}

int main(int argc, char **argv) {
  LiveOptions o;
  std::string error;
  if (!parseliveoptions(argc, argv, o, error)) {
    std::fprintf(stderr, "roomcaster_live: %s\n", error.c_str());
    return liveexitarguments;
  }
  if (o.help || o.version) {
    std::fputs(o.help ? liveusage() : liveversion(), stdout);
    return 0;
  }
  if (o.list) {
    listdevices();
    return 0;
  }
  if (!o.waveinname.empty() && (o.wavein = findwavein(o.waveinname.c_str())) < 0) {
    std::fprintf(stderr, "roomcaster_live: no capture device is named '%s' (see --list)\n", o.waveinname.c_str());
    return liveexitarguments;
  }
  if (!o.waveoutname.empty() && (o.waveout = findwaveout(o.waveoutname.c_str())) < 0) {
    std::fprintf(stderr, "roomcaster_live: no playback device is named '%s' (see --list)\n", o.waveoutname.c_str());
    return liveexitarguments;
  }

  audiobackendnamed(o.audio.c_str(), devices.backend);
  engineinit();
  if (o.buffersize > 0) engine.buffersize = o.buffersize;
  engineclock.now = liveclock;
  SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
  SetConsoleCtrlHandler(onconsoleevent, TRUE);

  std::thread(waitforenter).detach();
  loadplugins();
  reportpluginfaults("roomcaster_live");  // a plugininit that faulted

  // A number the platform does not offer (or past the 30 listed) is the default device.
  const int wavein = offereddevice(o.wavein, static_cast<int>(waveInGetNumDevs()));
  const int waveout = offereddevice(o.waveout, static_cast<int>(waveOutGetNumDevs()));
  if (wavein != o.wavein)
    std::fprintf(stderr, "roomcaster_live: capture device %d is not offered; the default is used\n", o.wavein);
  if (waveout != o.waveout)
    std::fprintf(stderr, "roomcaster_live: playback device %d is not offered; the default is used\n", o.waveout);
  o.wavein = wavein;
  o.waveout = waveout;

  engine.play = 1;
  openaudiocycle(devices, o.wavein, o.waveout);  // 3 s of silence, then a 3 s fade-in
  if (!opened(o.wavein, o.waveout)) {
    closeaudiocycle(devices);
    unloadplugins();
    closed = 1;
    return liveexitnosound;
  }

  if (!o.quiet) std::printf("roomcaster_live: running the live engine from %s to %s (%d-frame blocks, %s);"
              " press Enter or Ctrl+C to stop\n",
              devicename("capture", o.wavein, captureisopen(devices), capturename(devices)).c_str(),
              devicename("playback", o.waveout, playbackisopen(devices), playbackname(devices)).c_str(),
              engine.buffersize.load(), audiobackendname(devices.backend));
  std::fflush(stdout);

  bool lastopenfailed = false;  // the latest reopen left a device closed
  const double start = liveclock(), end = start + o.seconds;
  double nextstatus = start + 1.0;
  while (!stoprequest) {
    Sleep(20);
    const double now = liveclock();
    if (o.seconds > 0 && now >= end) stoprequest = 1;
    if (now >= nextstatus) {
      nextstatus += 1.0;
      if (nextstatus < now) nextstatus = now + 1.0;  // after a stall, no burst of lines
      if (!o.quiet) std::printf("%s\n", livestatusline(readstatus()).c_str());
      std::fflush(stdout);
    }
    reportpluginfaults("roomcaster_live");
    if (reopenrequest.exchange(0)) {
      closeaudiocycle(devices);
      int wavein = o.waveinname.empty() ? o.wavein : findwavein(o.waveinname.c_str());
      int waveout = o.waveoutname.empty() ? o.waveout : findwaveout(o.waveoutname.c_str());
      // A named device that is gone now: the default, as for a number not offered.
      wavein = offereddevice(wavein < 0 ? -1 : wavein, static_cast<int>(waveInGetNumDevs()));
      waveout = offereddevice(waveout < 0 ? -1 : waveout, static_cast<int>(waveOutGetNumDevs()));
      openaudiocycle(devices, wavein, waveout);
      lastopenfailed = !opened(wavein, waveout);
      if (!o.quiet)
        std::printf("roomcaster_live: reopened %s and %s\n",
                    devicename("capture", wavein, captureisopen(devices), capturename(devices)).c_str(),
                    devicename("playback", waveout, playbackisopen(devices), playbackname(devices)).c_str());
      std::fflush(stdout);
    }
  }

  LiveStatus last = readstatus();
  const double ran = liveclock() - start;
  closeaudiocycle(devices);
  unloadplugins();
  closed = 1;
  std::printf("%s\n", livesummary(last, ran).c_str());
  std::fflush(stdout);
  if (last.processed == 0) {
    std::fprintf(stderr, "roomcaster_live: no block was processed: no sound ran\n");
    return liveexitnosound;
  }
  return lastopenfailed ? liveexitnosound : liveexitok;
}
