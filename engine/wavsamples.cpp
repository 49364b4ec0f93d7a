// wavsamples.cpp: one sample of a WAV file's format as a 16-bit sample.
// The rules are stated in wavfile.h; they give the same result on every
// platform (integer arithmetic, and for float only exact operations).
#include <bit>
#include <cmath>

#include "engine/wavfile.h"

namespace {

uint32_t le32(const uint8_t *p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// v / 2^shift to the nearest whole number, an exact half to the even one, then
// at most 32767 (the largest inputs round up to 32768).
int16_t roundshift(int64_t v, int shift) {
  const int64_t step = int64_t{1} << shift, half = step >> 1;
  int64_t q = v >> shift;  // floor: arithmetic shift of a signed value
  const int64_t rest = v - q * step;
  if (rest > half || (rest == half && (q & 1) != 0)) ++q;
  return static_cast<int16_t>(q > 32767 ? 32767 : q);
}

}  // namespace

int16_t roundsample16(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 32767.0) return 32767;
  if (x <= -32768.0) return -32768;
  double q = std::floor(x);
  const double rest = x - q;  // exact: x lies between two neighbouring whole numbers
  if (rest > 0.5 || (rest == 0.5 && std::fmod(q, 2.0) != 0.0)) q += 1.0;
  return static_cast<int16_t>(q);
}

int16_t wavsample16(const uint8_t *p, int bits, bool isfloat) {
  if (isfloat) return roundsample16(static_cast<double>(std::bit_cast<float>(le32(p))) * 32768.0);  // exact product
  switch (bits) {
    case 8: return static_cast<int16_t>((p[0] - 128) * 256);
    case 16: return static_cast<int16_t>(p[0] | p[1] << 8);
    case 24: {
      // The three bytes at the top of a 32-bit word, shifted back down with their sign.
      const uint32_t top = static_cast<uint32_t>(p[0]) << 8 | static_cast<uint32_t>(p[1]) << 16 |
                           static_cast<uint32_t>(p[2]) << 24;
      const int32_t v = static_cast<int32_t>(top) >> 8;
      return roundshift(v, 8);
    }
    default: return roundshift(static_cast<int32_t>(le32(p)), 16);
  }
}

double wavsamplereal(const uint8_t *p, int bits, bool isfloat) {
  if (isfloat) {
    const double x = static_cast<double>(std::bit_cast<float>(le32(p))) * 32768.0;
    return std::isnan(x) ? 0.0 : x;
  }
  switch (bits) {
    case 8: return (p[0] - 128) * 256.0;
    case 16: return static_cast<int16_t>(p[0] | p[1] << 8);
    case 24: {
      const uint32_t top = static_cast<uint32_t>(p[0]) << 8 | static_cast<uint32_t>(p[1]) << 16 |
                           static_cast<uint32_t>(p[2]) << 24;
      return (static_cast<int32_t>(top) >> 8) / 256.0;
    }
    default: return static_cast<int32_t>(le32(p)) / 65536.0;
  }
}
