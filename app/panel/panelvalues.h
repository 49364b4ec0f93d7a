// panelvalues.h: the numbers and texts of the main window, apart from the window.
//
//   gainentry(41) == "krev100";  gainposition(1.0f) == 41;  gainofchoice(81) == 2.0f;
//   buffersizeentrytext(6) == "trev90";  buffersizeposition(4000) == 6;
//   statustext(status);         // what win.msg shows, refreshed every 0.24 s
//   levelbars(vupeak, inputmeter, testgain, play);   // the two bars drawn into win.vuout
//
// "Integer part" throughout is the floor, so the default block size of 400
// frames gives position -2, which selects nothing. Every position is worked out
// in double and saturated, so no stored value can overflow a conversion.
// Portable; user-interface thread. The folder's chief header is panel.h.
#pragma once
#include <cstdint>
#include <string>

constexpr int gainentries = 81;        // "krev0" .. "krev200"
constexpr int panentries = 9;          // "pan0" .. "pan8"
constexpr int buffersizeentries = 24;  // "trev34" .. "trev362"

// Floor of value as a 32-bit integer, saturated; NaN gives 0.
int32_t integerpart(double value);

// List entries, position 1-based.
std::string gainentry(int position);
std::string panentry(int position);
std::string buffersizeentrytext(int position);

// The position each list shows for a value (may match no entry).
int32_t gainposition(float gain);
int32_t panposition(float pan);
int32_t buffersizeposition(int32_t buffersize);
// The device lists: the system default (-1) is entry 1, device d entry d + 2.
int32_t deviceposition(int32_t device);

// What a choice at position k (0 = none) sets.
float gainofchoice(int k);             // (k - 1) / 40 limited to 0..3
float panofchoice(int k);              // (k - 1) / 10 limited to 0..2
int32_t buffersizeofchoice(int k);     // the frames of entry k (1500 for none)
int32_t deviceofchoice(int k);         // k - 2; nothing chosen (-2) opens the default
int32_t nextcolor(int32_t color);      // (color + 1) mod 4, always 0..3

// The status text of win.msg.
struct StatusValues {
  int32_t freeout;       // free playback buffers of six
  int32_t capturecount;  // 16-bit samples in the latest capture block
  int32_t firstsample;   // the first sample of that block
  float testgain;        // the output gain ceiling
  float inputpeak;       // the engine's latest published input peak
};
std::string statustext(const StatusValues &v);

// The first `width` characters of value written with `digits` significant digits.
std::string cutnumber(double value, int digits, int width);

// The two level bars: right ends in pixels of the peak bar (top half) and the
// meter bar (bottom half).
struct LevelBars {
  int32_t peak, meter;
};
LevelBars levelbars(float vupeak, float inputmeter, float testgain, int32_t play);
