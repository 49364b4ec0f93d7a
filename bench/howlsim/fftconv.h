// fftconv.h: uniformly partitioned FFT convolution (overlap-save), for room
// responses of a second or more at a cost that does not grow with their length
// in the time domain.
//
//   Convolver c;
//   convstart(c, response, partition);     // partition: a power of two
//   convblock(c, in, out);                 // `partition` samples in, as many out, no delay
//
// Each input block is transformed once (2·partition points) and kept in a ring
// of spectra; the output block is the inverse transform of the sum of each past
// spectrum times the matching partition of the response. The output of a block
// includes the response's first taps on that same block: nothing is delayed.
#pragma once
#include <complex>
#include <vector>

using cplx = std::complex<double>;

// In-place radix-2 transform of size a.size() (a power of two); inverse
// without the 1/n scaling.
void fft(std::vector<cplx>& a, bool inverse);

// The transform of n real samples (n a power of two, at least 4) through one
// complex transform of n/2 points: bins 0..n/2 into out. `half` is the
// work space. realifft is its inverse, scaled so that x comes back as it was.
void realfft(const double* x, int n, std::vector<cplx>& half, cplx* out);
void realifft(const cplx* in, int n, std::vector<cplx>& half, double* x);

struct Convolver {
  int partition = 0;               // samples per block
  int parts = 0;                   // partitions of the response
  std::vector<std::vector<cplx>> h;     // spectrum of each partition, bins 0..partition
  std::vector<std::vector<cplx>> ring;  // spectra of the last `parts` input blocks
  int newest = 0;                  // ring index of the latest input block
  std::vector<double> last;        // the previous input block (overlap-save's first half)
  std::vector<double> block;       // 2·partition samples: the last block and this one
  std::vector<cplx> half;          // partition points, the transforms' work
  std::vector<cplx> sum;           // bins 0..partition
};

void convstart(Convolver& c, const std::vector<float>& response, int partition);
void convblock(Convolver& c, const float* in, float* out);

// Plain time-domain convolution, the reference the tests compare against.
std::vector<float> directconvolve(const std::vector<float>& x, const std::vector<float>& h);
