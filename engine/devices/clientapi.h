// clientapi.h: the audio-client calls (shared mode, event-driven) that the
// stream device objects make, with the events and threads they run on, as a
// small table of plain functions. Portable: the platform's table is built in
// clientapi.cpp (Win32); the native tests fill one of their own.
//
//   clientapi = platformclientapi();   // what every program uses (the starting value)
//   clientapi.packet = myfakepacket;   // tests: swap single calls for fakes
//
// Every stream call is made on the thread that owns the stream (between its
// threadbegin and threadend); the playback write and padding are the
// exception: the capture thread makes them, around processblock. Swap entries
// only while no stream device object is open.
#pragma once
#include <cstdint>

struct ClientStream;  // one open stream of the platform (opaque)

// The platform's result codes (negative: failed).
using clientresult = int32_t;
constexpr clientresult clientok = 0;
constexpr clientresult clientinvalidated = static_cast<clientresult>(0x88890004u);  // the endpoint went away
constexpr clientresult clientbuffertoolarge = static_cast<clientresult>(0x88890006u);  // no room for the write
constexpr clientresult clientinvalidarg = static_cast<clientresult>(0x80070057u);
constexpr clientresult clientnotfound = static_cast<clientresult>(0x80070490u);
constexpr bool clientfailed(clientresult r) { return r < 0; }

// One capture packet as the platform hands it over.
struct ClientPacket {
  const int16_t *samples;  // 2 x frames, interleaved
  uint32_t frames;         // 0: none waits
  bool silent;             // the platform marked it silence
  bool discontinuity;      // the platform lost frames before it
  uint64_t position;       // the device's frame position of its first frame
};

struct ClientApi {
  // The thread's use of the platform's component library: begun (false when
  // it could not be) and, only after a begin that succeeded, ended.
  bool (*threadbegin)();
  void (*threadend)();
  // A shared-mode stream of 16-bit stereo 44100 Hz (converted by the platform
  // where its own format differs) on the endpoint of waveform device `device`
  // (-1: the system's default endpoint), with room for at least `frames`
  // frames; `event`, when given, is signalled every device period. Null when
  // the endpoint is missing or refuses; `result` says why.
  ClientStream *(*open)(bool capture, int device, int frames, void *event, clientresult *result);
  void (*close)(ClientStream *s);
  clientresult (*start)(ClientStream *s);
  clientresult (*stop)(ClientStream *s);
  // Capture: the next packet, frames 0 when none waits; a packet with frames
  // is handed back with release.
  clientresult (*packet)(ClientStream *s, ClientPacket *p);
  clientresult (*release)(ClientStream *s, uint32_t frames);
  // Playback: frames written and not yet played; the write of a whole block.
  clientresult (*padding)(ClientStream *s, uint32_t *frames);
  clientresult (*write)(ClientStream *s, const int16_t *samples, uint32_t frames);
  // The calling thread to time-critical priority (each stream thread, once).
  void (*raisethread)();

  // Events and threads (user-interface and stream threads).
  void *(*newevent)(bool manualreset);  // null when the platform has none to give
  void (*setevent)(void *event);
  // Waits up to ms milliseconds (negative: for ever) for an event to be set
  // or a thread to end: true when it was.
  bool (*wait)(void *eventorthread, int ms);
  void (*closehandle)(void *eventorthread);
  // A thread running body(arg); null when none could be started.
  void *(*startthread)(void (*body)(void *), void *arg);
};

// The table in use; starts as platformclientapi().
extern ClientApi clientapi;

// The operating system's own calls (Win32 builds; natively a table whose
// streams never open, for tests to fill).
ClientApi platformclientapi();
