// howlcutdsp.h: the sound of howlcut, portable (no <windows.h>): notch-filter
// howling suppression with no added delay.
//
//   static HowlState state;                 // all buffers, fixed size, in .bss
//   HowlParams params;                      // on, sensitivity, reset request
//   HowlDisplay display;                    // what the window shows
//   howlstart(state);                       // once, when the module loads
//   y = howlproc(state, params, display, x);   // audio thread, once per sample (L, R, L, R ...)
//
// howlproc passes every sample through the bank of notches (shared by both
// channels, each channel with its own filter memories) and feeds a short-time
// spectrum of each channel whose work is spread over the samples, clocked by
// the sample count alone: the same input gives the same output, bit for bit.
// It never allocates, locks or calls the system. Any finite input gives a
// finite output; a NaN or infinity in never sticks in the state.
#pragma once
#include <atomic>
#include <cstdint>

constexpr int howlnotchcount = 12;     // notches in the bank; when full the oldest is reused
constexpr int howldisplaybins = 256;   // points of the spectrum the window draws

// Sensitivity, from the window's choice: speech reacts fastest, music holds
// back longest before it calls a steady peak a howl.
enum HowlSensitivity : int32_t { howlspeech = 0, howlmixed = 1, howlmusic = 2 };

// Written whole by the window thread (and plugininit), read by the audio
// thread; a change acts from the next sample.
struct HowlParams {
  std::atomic<int32_t> on{1};            // 1: suppressor on; 0: the input passes unchanged
  std::atomic<int32_t> sensitivity{howlmixed};
  std::atomic<int32_t> reset{0};         // window sets 1; the audio thread drops every notch and sets 0
};

// One notch as the window sees it. Written by the audio thread, each value
// whole; the window reads them at its own pace (a torn row is redrawn next time).
struct HowlNotchView {
  std::atomic<float> frequency{0.0f};    // Hz; 0: slot unused
  std::atomic<float> depth{0.0f};        // dB of cut now (positive), faded
  std::atomic<float> age{0.0f};          // seconds since it was placed (sample count / 44100)
};

// Published by the audio thread after each analysis, read by the window.
struct HowlDisplay {
  std::atomic<float> spectrum[howldisplaybins];  // dB (0 dB = full-scale sine), log-spaced 50 Hz .. 20 kHz
  HowlNotchView notch[howlnotchcount];
  std::atomic<int32_t> analyses{0};              // counts analyses, so the window sees news
  std::atomic<int32_t> placed{0};                // notches placed since howlstart (new ones, not deepenings)
};

// Frequency in Hz of display point i (0 .. howldisplaybins-1).
float howldisplayfrequency(int i);

struct HowlState;  // defined in howlcutstate.h: fixed arrays, sized at compile time

void howlstart(HowlState& state);
float howlproc(HowlState& state, HowlParams& params, HowlDisplay& display, float sample);
