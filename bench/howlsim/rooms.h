// rooms.h: the simulated rooms, each a loudspeaker-to-microphone response and
// a second one after the microphone has moved.
//
//   const std::vector<RoomSpec>& rooms = simrooms();   // the fixed set of rooms
//   RoomPaths paths = roompaths(rooms[i]);             // both responses, 44.1 kHz
//
// Method: a shoebox room. The direct path and the reflections of the image
// sources up to one image in each direction (27 image cells, 8 parities each:
// the walls' early reflections), with a wall reflection factor from Sabine's
// formula for the room's RT60, placed with linear interpolation between
// samples; then a diffuse tail of Gaussian noise decaying by 60 dB over the
// RT60, rising in over the first 20 ms, whose energy against the direct
// sound at distance r is (r / rc)², rc the room's critical distance
// (0.057·sqrt(Q·V/RT60), Q = 2). Every amplitude is relative to the direct sound at 1 m (a
// microphone at 1 m receives the loudspeaker's signal at unity gain).
// The loudspeaker's band is 80 Hz to 12 kHz (second-order high- and low-pass).
// The response ends where the tail is 60 dB down.
#pragma once
#include <cstdint>
#include <vector>

struct RoomSpec {
  const char* name;   // short label for tables
  double size[3];     // m: length, width, height
  double rt60;        // s
  double speaker[3];  // m: the loudspeaker's position
  double mic[3];      // m: the microphone's position
  double moved[3];    // m: the microphone's position after it was moved
  uint64_t seed;      // the tail's noise
};

struct RoomPaths {
  std::vector<float> before;  // response with the microphone where it starts
  std::vector<float> after;   // response after it moved
};

const std::vector<RoomSpec>& simrooms();
RoomPaths roompaths(const RoomSpec& room);
std::vector<float> roomresponse(const RoomSpec& room, const double mic[3], uint64_t seed);
double roomvolume(const RoomSpec& room);
double roomdistance(const RoomSpec& room, const double mic[3]);
