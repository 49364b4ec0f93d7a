// howlcutview.h: what howlcut's window shows, worked out portably from the
// values the audio thread publishes: a snapshot of them, the plot's pixels and
// the rows of the notch list.
//
//   HowlSnapshot s;
//   howlsnapshot(display, s);                            // every value read whole, once
//   howldrawplot(s, image->pixels.data(), 512, 180);     // the spectrum, the notches on it
//   std::vector<std::string> rows = howlnotchrows(s);    // "1250 Hz   -9.0 dB   4 s", low to high
//   addcomboitem("win.sensitivity", howlsensitivityentry(p));  // p 1..3: "speech" ...
//
// Thread: the window thread. Nothing here writes what the audio thread reads.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "howlcut/howlcutdsp.h"

// The display values at one moment (a row may mix two analyses: the next
// snapshot is whole again).
struct HowlSnapshot {
  float spectrum[howldisplaybins];   // dB, at howldisplayfrequency(i)
  float frequency[howlnotchcount];   // Hz; 0: slot unused
  float depth[howlnotchcount];       // dB of cut, positive
  float age[howlnotchcount];         // seconds
  int32_t analyses;                  // changes with every analysis
  int32_t placed;                    // notches placed since the start
};
void howlsnapshot(const HowlDisplay &display, HowlSnapshot &snapshot);

// The plot's scales: frequency on a log scale from the first to the last
// display point across the width; level from howlplottop (row 0) down to
// howlplotfloor (the last row).
constexpr float howlplottop = 0.0f;      // dB
constexpr float howlplotfloor = -100.0f;  // dB
// The column of a frequency, -1 when it lies outside the plot (or is not a number).
int howlplotx(float frequency, int width);
// The row of a level, held to the plot (a NaN is the floor).
int howlploty(float db, int height);

// Pixel colours (0xAARRGGBB, blue in the low byte, as image buffers hold them).
constexpr uint32_t howlbackground = 0xFF0C1420;
constexpr uint32_t howlgrid = 0xFF2A3A50;
constexpr uint32_t howlfill = 0xFF1E5A78;
constexpr uint32_t howlgridonfill = 0xFF3A7896;
constexpr uint32_t howltrace = 0xFF80E0FF;
constexpr uint32_t howlnotchcolour = 0xFFFF4040;

// Draws the plot into width x height pixels, rows top-down: the spectrum as a
// filled trace; a grid at 100 Hz, 1 kHz, 10 kHz and every 20 dB; each active
// notch as a red line at its frequency topped by a wedge as deep as its cut.
void howldrawplot(const HowlSnapshot &snapshot, uint32_t *pixels, int width, int height);

// The active notches, lowest frequency first: "1250 Hz   -9.0 dB   4 s".
std::vector<std::string> howlnotchrows(const HowlSnapshot &snapshot);

// The sensitivity list: positions 1..3 are "speech", "mixed", "music"
// ("" outside); a position's value, and the position of a value. No
// selection (0) is the default, mixed.
constexpr int howlsensitivitycount = 3;
std::string howlsensitivityentry(int position);
int32_t howlsensitivityvalue(int position);
int howlsensitivityposition(int32_t sensitivity);
