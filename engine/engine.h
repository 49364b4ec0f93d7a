// engine: the audio engine of roomcaster_quarn.
//
//   engineinit();                        // program start: defaults, memories zeroed
//   engineclock.now = mymonotonicclock;  // or engineclock.streamclock = true (offline)
//   engineplayback.store(&port);         // the playback device's buffers (playbackport.h)
//   pluginguard.run = catcher;           // optional: faulting plug-ins switched off (pluginhost/pluginguard.h)
//   enginedevicesopened(now);            // starttime, modes, vupeak, autolevel
//   processblock(samples, count);        // audio thread, once per captured block
//
// Floors: the engine uses the plug-in host's portable headers (the contract,
// the slot table and the fault seam, pluginhost/pluginslot.h and
// pluginhost/pluginguard.h) and nothing above them; the application uses the
// engine, never the other way round (tests/floors.py checks every include).
//
// Two parts, one folder each:
//   engine/          portable, no <windows.h>: the engine state, processblock and
//                    its stages, level control, loop measurement, WAV files.
//                    Built natively for the unit tests and in every Windows program.
//   engine/devices/  the capture and playback devices, on the back end a program
//                    chooses (livedevices.h): the waveform API (wavedevices.h,
//                    its calls in waveapi.h) or the audio-client interface
//                    (clientdevices.h, its calls in clientapi.h; the block
//                    assembly and queue accounting, streamblocks.h, and the
//                    life of each open, clientstreams.h, portable).
//                    Also the live clock and the message pass run while a
//                    device closes (guiscanhook.h). They feed processblock and
//                    publish the playback port. All but streamblocks and
//                    clientstreams is Win32.
//
// processblock runs every sample through the chain: input history, DC blocker,
// averaging comb, plug-ins, wet extraction, trend guard, start-up envelope,
// automatic level, limiter, low cut, level follower, clip, pan; then queues the
// block on the playback port. It never allocates, locks, or calls the system
// except one clock reading per block and the port's queue call. It counts the
// blocks it processes and the ones the queue rule drops (livecounters.h).
#pragma once
#include <cstdint>

#include "engine/enginestate.h"
#include "engine/livecounters.h"
#include "engine/playbackport.h"
#include "pluginhost/pluginguard.h"
#include "pluginhost/pluginslot.h"

// Audio thread. samples: the engine's copy of the captured block, interleaved
// 16-bit; count: 2 x frames recorded (whole frames).
void processblock(const int16_t *samples, int count);

// The block-size list of the control panel: entry i (1..24) in frames.
int buffersizeentry(int i);
