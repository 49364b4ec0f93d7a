// resampler.h: sample-rate conversion for the renderer: polyphase windowed
// sinc, doubles inside, the filter designed once per rate pair.
//
//   ResamplerFilter f; designresampler(f, 48000, 44100);   // once per rate pair
//   Resampler r;       startresampler(r, f, 2);             // 2 channels, interleaved
//   resample(r, in, frames, out);      // appends every output the input so far allows
//   finishresampler(r, total, out);    // the rest, up to `total` outputs in all
//   resampledframes(48000, 44100, n)   // ceil(n * 44100 / 48000): the frames n become
//
// Output frame n stands at input time n * inrate / outrate (input frames), so
// the first outputs are the first inputs' time and nothing is delayed; input
// before the start and after the end is silence.
//
// The filter: a Kaiser-windowed sinc, linear phase. With `low` the lower of
// the two rates, the passband runs to 20 kHz, or to 20/44.1 of `low` where that
// is lower (3628 Hz at 8 kHz, 0.4535 x the rate), and the stopband starts at
// low / 2, so nothing above the lower rate's Nyquist frequency folds back or
// shows as an image. Designed for 110 dB stopband attenuation (which also holds
// the passband ripple to thousandths of a dB). One row of taps per phase: the
// reduced output rate's phases where they are at most maxresamplerphases,
// else that many rows with the taps between two rows interpolated linearly.
// The coefficients come from +, -, *, /, sqrt and floor only, so they are the
// same bits on every platform.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int maxresamplerphases = 1024;

struct ResamplerFilter {
  int inrate = 0, outrate = 0;
  int64_t up = 1, down = 1;   // outrate / gcd, inrate / gcd
  int phases = 1;             // rows of taps, each for a fraction phase / phases of an input frame
  int half = 0;               // taps on each side: 2 x half per output
  double passband = 0, stopband = 0;  // edges, Hz
  std::vector<double> taps;   // (phases + 1) rows of 2 x half
};

struct Resampler {
  const ResamplerFilter *filter = nullptr;
  int channels = 1;
  std::vector<double> buffer;  // input frames from absolute frame `first` - half, interleaved
  int64_t first = 0;           // absolute input frame at buffer[half * channels]
  int64_t inputs = 0;          // input frames given so far
  int64_t outputs = 0;         // output frames made so far
};

void designresampler(ResamplerFilter &filter, int inrate, int outrate);
void startresampler(Resampler &r, const ResamplerFilter &filter, int channels);
void resample(Resampler &r, const double *in, size_t frames, std::vector<double> &out);
void finishresampler(Resampler &r, int64_t totaloutputs, std::vector<double> &out);
int64_t resampledframes(int inrate, int outrate, int64_t frames);
