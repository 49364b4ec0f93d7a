// wavfile.cpp: WAV chunks read, 16-bit stereo written whole (portable, no <windows.h>).
#include "engine/wavfile.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

uint32_t le32(const uint8_t *p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t le16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
void put32(std::vector<uint8_t> &b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void put16(std::vector<uint8_t> &b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

// The most frames a 16-bit stereo WAV file holds: its RIFF size counts 36 header
// bytes and 4 per frame in 32 bits.
constexpr size_t maxwavframes = (0xFFFFFFFFu - 36) / 4;

// The tail shared by the PCM and float sub-format GUIDs of an extensible format
// record (their first two bytes are the format tag, 1 or 3; these the other 14).
const uint8_t subformattail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// What the fmt chunk says, once it passed checkformat.
struct WavFormat {
  int channels = 0;      // 1 or 2
  int bits = 0;          // 8, 16, 24 or 32
  bool isfloat = false;  // 32-bit float samples
  size_t frame = 0;      // bytes per frame
};

bool checkformat(const uint8_t *f, uint32_t size, WavFormat &format, std::string &error) {
  if (size < 16) {
    error = "the fmt chunk is too short";
    return false;
  }
  uint16_t tag = le16(f), channels = le16(f + 2), align = le16(f + 12), bits = le16(f + 14);
  uint32_t rate = le32(f + 4);
  if (tag == 0xFFFE) {
    if (size < 40) {
      error = "the fmt chunk is too short for its extensible format";
      return false;
    }
    tag = le16(f + 24);
    if ((tag != 1 && tag != 3) || std::memcmp(f + 26, subformattail, sizeof subformattail) != 0) {
      error = "not PCM or float audio (extensible format with another sub-format)";
      return false;
    }
  }
  if (tag != 1 && tag != 3) {
    error = "not PCM or float audio (format tag " + std::to_string(tag) + ")";
    return false;
  }
  if (tag == 1 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    error = std::to_string(bits) + "-bit PCM cannot be read (8, 16, 24 or 32 bits can)";
    return false;
  }
  if (tag == 3 && bits != 32) {
    error = std::to_string(bits) + "-bit float cannot be read (32-bit float can)";
    return false;
  }
  if (channels != 1 && channels != 2) {
    error = "not mono or stereo (" + std::to_string(channels) + " channels)";
    return false;
  }
  if (align != channels * bits / 8) {
    error = "the fmt chunk does not add up (" + std::to_string(align) + " bytes per frame for " +
            std::to_string(channels) + " x " + std::to_string(bits) + " bits)";
    return false;
  }
  if (rate != 44100) {
    error = "the sample rate is " + std::to_string(rate) + " Hz; only 44100 Hz can be rendered (resample the file to 44100 Hz first)";
    return false;
  }
  format = {channels, bits, tag == 3, align};
  return true;
}

// The data chunk's frames as 16-bit stereo (the rules are in wavfile.h).
void convert(const uint8_t *data, size_t frames, const WavFormat &format, WavAudio &audio) {
  const size_t width = static_cast<size_t>(format.bits / 8);
  audio.samples.resize(2 * frames);
  for (size_t i = 0; i < frames; ++i) {
    const uint8_t *frame = data + i * format.frame;
    const int16_t left = wavsample16(frame, format.bits, format.isfloat);
    audio.samples[2 * i] = left;
    audio.samples[2 * i + 1] = format.channels == 1 ? left : wavsample16(frame + width, format.bits, format.isfloat);
  }
  audio.channels = format.channels;
  audio.bits = format.bits;
  audio.isfloat = format.isfloat;
}

}  // namespace

bool parsewav(const std::vector<uint8_t> &bytes, WavAudio &audio, std::string &error) {
  const uint8_t *b = bytes.data();
  size_t n = bytes.size();
  if (n < 12 || std::memcmp(b, "RIFF", 4) != 0 || std::memcmp(b + 8, "WAVE", 4) != 0) {
    error = "not a WAV file";
    return false;
  }
  WavFormat format;
  bool havefmt = false;
  size_t pos = 12;
  while (pos + 8 <= n) {
    const uint8_t *chunk = b + pos;
    uint32_t size = le32(chunk + 4);
    size_t body = pos + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (size > n - body) {
        error = "the fmt chunk is truncated";
        return false;
      }
      if (!checkformat(chunk + 8, size, format, error)) return false;
      havefmt = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!havefmt) {
        error = "the data chunk comes before the fmt chunk";
        return false;
      }
      if (size > n - body) {
        error = "the data chunk is truncated (" + std::to_string(n - body) + " of " + std::to_string(size) + " bytes present)";
        return false;
      }
      if (size % format.frame != 0) {
        error = "the data chunk ends inside a frame (" + std::to_string(size) + " bytes)";
        return false;
      }
      const size_t frames = size / format.frame;
      if (frames > maxwavframes) {
        error = "too long: " + std::to_string(frames) + " frames as 16-bit stereo pass a WAV file's 4 GiB";
        return false;
      }
      convert(b + body, frames, format, audio);
      return true;
    }
    if (size > n - body) break;
    pos = body + size + (size & 1);  // chunks are padded to even length
  }
  error = havefmt ? "no data chunk" : "no fmt chunk";
  return false;
}

bool readwav(const std::string &path, WavAudio &audio, std::string &error) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    error = path + ": is a folder, not a file";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot open (" + std::strerror(errno) + ")";
    return false;
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    error = path + ": read error";
    return false;
  }
  if (!parsewav(bytes, audio, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

std::vector<uint8_t> encodewav(const std::vector<int16_t> &samples) {
  uint32_t databytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> b;
  b.reserve(44 + databytes);
  b.insert(b.end(), {'R', 'I', 'F', 'F'});
  put32(b, 36 + databytes);
  b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put32(b, 16);
  put16(b, 1);       // PCM
  put16(b, 2);       // channels
  put32(b, 44100);   // frames per second
  put32(b, 176400);  // bytes per second
  put16(b, 4);       // block align
  put16(b, 16);      // bits per sample
  b.insert(b.end(), {'d', 'a', 't', 'a'});
  put32(b, databytes);
  for (int16_t s : samples) put16(b, static_cast<uint16_t>(s));
  return b;
}

bool writewav(const std::string &path, const std::vector<int16_t> &samples, std::string &error) {
  if (samples.size() / 2 > maxwavframes) {
    error = path + ": too long for a WAV file";
    return false;
  }
  std::vector<uint8_t> bytes = encodewav(samples);
  std::string temp = path + ".partial";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) {
      error = path + ": cannot create (" + std::strerror(errno) + ")";
      return false;
    }
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::remove(temp.c_str());
      error = path + ": write error";
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    std::remove(temp.c_str());
    error = path + ": cannot replace (" + ec.message() + ")";
    return false;
  }
  return true;
}
