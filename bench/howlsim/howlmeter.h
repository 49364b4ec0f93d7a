// howlmeter.h: tells howling from sound, frame by frame, by comparing the
// loop's output with the same run without a feedback path (the reference).
//
//   HowlMeter m;
//   meterstart(m, reference);         // the reference is known before the run
//   meterfeed(m, output, available);  // as the run goes: analyses every frame now complete
//   m.unstable, m.howlframes, meterdistortion(m) ...
//
// Frames: 2048 samples, Hann window, hop 1024 (23.2 ms). In each frame, the
// levels of 21 third-octave bands from 100 Hz to 10 kHz (at least 172 Hz
// wide below 800 Hz).
//   Howling frame: in some band the output stands at least `excess` dB (15)
//     above the reference, where the reference's level counts as at least its
//     own long-term level in that band (so pauses in speech are no excuse).
//   Unstable (the loop howls, for the MSG search): howling frames without a
//     break for at least `hold` seconds (1 s). A stable loop lifts a band by a
//     bounded amount; an unstable one keeps growing until the output clips.
//   Spectral distortion: the mean absolute difference in dB of the band
//     levels of output and reference, over the frames where the reference is
//     within 20 dB of its long-term level, with both floored 30 dB below the
//     reference's long-term level in that band.
#pragma once
#include <array>
#include <vector>

constexpr int meterframe = 2048;
constexpr int meterhop = 1024;
constexpr int meterbands = 21;

struct HowlMeter {
  double excess = 15;  // dB above the reference that makes a howling frame
  double hold = 1.0;   // s of unbroken howling that makes a loop unstable
  std::vector<std::array<float, meterbands>> reference;  // dB per frame and band
  std::array<double, meterbands> longterm{};  // dB, reference's power mean per band
  double longtermall = 0;                     // dB, reference over all bands
  std::vector<char> active;                   // reference frame counts for the distortion
  int frames = 0;                             // output frames analysed
  std::vector<float> maxexcess;               // dB per frame: the largest band excess
  std::vector<float> peakhz;                  // Hz per frame: output's peak in that band
  std::vector<float> level;                   // dB per frame: output over all bands
  std::vector<char> howling;                  // per frame
  int howlframes = 0;
  int run = 0;               // current unbroken run of howling frames
  int longestrun = 0;        // frames
  bool unstable = false;
  int unstableframe = -1;    // frame where the run reached `hold`
  int firsthowl = -1;        // first howling frame
  double distortionsum = 0;  // dB, summed over counted frame-bands
  int distortioncount = 0;
};

void meterstart(HowlMeter& m, const std::vector<float>& reference);
void meterfeed(HowlMeter& m, const std::vector<float>& output, int available);
double meterdistortion(const HowlMeter& m);
double meterseconds(int frames);  // time of a frame's end
// Band levels (dB) of the frame starting at `start`; writes the peak bin's
// frequency of each band into peaks when given.
void bandlevels(const float* x, std::array<float, meterbands>& out, std::array<float, meterbands>* peaks);
