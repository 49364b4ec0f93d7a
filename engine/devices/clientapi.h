// clientapi.h: the audio-client calls (shared mode, event-driven) that the
// stream device objects make, as a small table of plain functions.
//
//   clientapi = platformclientapi();   // what every program uses (the starting value)
//   clientapi.packet = myfakepacket;   // tests: swap single calls for fakes
//
// Every call but wait and raisethread is made on the thread that owns the
// stream (between its threadbegin and threadend); the playback write and
// padding are the exception: the capture thread makes them, around processblock. Swap entries
// only while no stream device object is open.
#pragma once
#include <windows.h>

#include <cstdint>

struct ClientStream;  // one open stream of the platform (opaque)

struct ClientApi {
  // The thread's use of the platform's component library, begun and ended.
  void (*threadbegin)();
  void (*threadend)();
  // A shared-mode stream of 16-bit stereo 44100 Hz (converted by the platform
  // where its own format differs) on the endpoint of waveform device `device`
  // (-1: the system's default endpoint), with room for at least `frames`
  // frames; `event`, when given, is signalled every device period. Null when
  // the endpoint is missing or refuses; `result` says why.
  ClientStream *(*open)(bool capture, int device, int frames, HANDLE event, HRESULT *result);
  void (*close)(ClientStream *s);
  HRESULT (*start)(ClientStream *s);
  HRESULT (*stop)(ClientStream *s);
  // Capture: the next packet, frames 0 when none waits; a packet with frames
  // is handed back with release. silent: the platform marked it silence.
  HRESULT (*packet)(ClientStream *s, const int16_t **samples, UINT32 *frames, bool *silent);
  HRESULT (*release)(ClientStream *s, UINT32 frames);
  // Playback: frames written and not yet played; the write of a whole block.
  HRESULT (*padding)(ClientStream *s, UINT32 *frames);
  HRESULT (*write)(ClientStream *s, const int16_t *samples, UINT32 frames);
  // Waits for the event up to ms milliseconds (WaitForSingleObject's result).
  DWORD (*wait)(HANDLE event, DWORD ms);
  // The calling thread to time-critical priority (each stream thread, once).
  void (*raisethread)();
};

// The table in use; starts as platformclientapi().
extern ClientApi clientapi;

// The operating system's own calls.
ClientApi platformclientapi();

// The endpoint id of waveform device `device` (DRV_QUERYFUNCTIONINSTANCEID), so a
// device number means the same device on both back ends; false when the driver
// does not tell. id: room for `chars` wide characters.
bool waveendpointid(bool capture, int device, wchar_t *id, size_t chars);
