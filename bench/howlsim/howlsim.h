// howlsim.h: the closed-loop room simulator that measures howlcut.
//
//   bench/howlsim.sh [--quick]      material, build, run, docs/howlcut_asg.png
//
//   const RoomSpec& room = simrooms()[i];              // rooms.h: 20 shoebox rooms
//   RoomPaths paths = roompaths(room);                 // the response, and after the mic moved
//   HowlRig rig;  SimPlugin cut = simhowlcut(rig);     // howlrig.h (or simnone(), or a test's own)
//   StableGain s = searchmsg(setuplive, source, paths.before, cut, start);   // stablegain.h
//   LoopResult r = runloop(setuplive, run, cut);       // closedloop.h: one run, measured
//
// Files, one job each:
//   closedloop   the loop: microphone, forward gain, the plug-in per block, the round trip
//   fftconv      uniformly partitioned FFT convolution (the room)
//   rooms        the rooms and their responses
//   notchbound   the most a bank of notches could add in a room
//   resonance    the live test room's resonance (liveroom.cpp runs that room)
//   howlmeter    howling frames, the unstable verdict, spectral distortion
//   stablegain   the MSG search
//   material     the sound material (made by material.py) and its excerpts
//   howlrig      howlcut behind the plug-in seam
//   howlsim.cpp  the measurement and its tables; plot.py draws them
#pragma once
#include "bench/howlsim/closedloop.h"
#include "bench/howlsim/howlrig.h"
#include "bench/howlsim/material.h"
#include "bench/howlsim/notchbound.h"
#include "bench/howlsim/resonance.h"
#include "bench/howlsim/rooms.h"
#include "bench/howlsim/stablegain.h"
