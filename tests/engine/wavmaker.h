// wavmaker.h: WAV files of any kind, byte by byte, for the reader's tests.
//   wavbytes(1, 1, 44100, 24, data)   // PCM, mono, 24-bit, the data chunk's bytes
//   wavbytes(3, 2, 44100, 32, data, true)   // float in the extensible form
#pragma once
#include <cstdint>
#include <vector>

inline void putle(std::vector<uint8_t> &b, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline std::vector<uint8_t> wavbytes(int tag, int channels, uint32_t rate, int bits, const std::vector<uint8_t> &data,
                                     bool extensible = false) {
  std::vector<uint8_t> fmt;
  const int align = channels * bits / 8;
  putle(fmt, extensible ? 0xFFFE : tag, 2);
  putle(fmt, channels, 2);
  putle(fmt, rate, 4);
  putle(fmt, rate * align, 4);
  putle(fmt, align, 2);
  putle(fmt, bits, 2);
  if (extensible) {
    putle(fmt, 22, 2);                     // extra bytes
    putle(fmt, bits, 2);                   // valid bits
    putle(fmt, channels == 1 ? 4 : 3, 4);  // speakers: front centre, or front left and right
    putle(fmt, tag, 4);                    // the sub-format GUID: the tag, then the fixed tail
    for (uint8_t x : {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}) fmt.push_back(x);
  }
  std::vector<uint8_t> b = {'R', 'I', 'F', 'F'};
  putle(b, static_cast<uint32_t>(4 + 8 + fmt.size() + 8 + data.size()), 4);
  b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  putle(b, static_cast<uint32_t>(fmt.size()), 4);
  b.insert(b.end(), fmt.begin(), fmt.end());
  b.insert(b.end(), {'d', 'a', 't', 'a'});
  putle(b, static_cast<uint32_t>(data.size()), 4);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

// Samples as the data chunk's bytes: `bits` wide, little-endian (8-bit given as 0..255).
inline std::vector<uint8_t> samplebytes(const std::vector<int64_t> &values, int bits) {
  std::vector<uint8_t> b;
  for (int64_t v : values) putle(b, static_cast<uint32_t>(v), bits / 8);
  return b;
}
