// wavfile.cpp: WAV chunks read, from a file, stdin or memory, a block at a
// time (portable, no <windows.h>).
#include "engine/wavfile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

uint32_t le32(const uint8_t *p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t le16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// The most frames a 16-bit stereo WAV file holds: its RIFF size counts 36 header
// bytes and 4 per frame in 32 bits.
constexpr uint64_t maxwavframes = (0xFFFFFFFFu - 36) / 4;

// The most of a fmt chunk that is looked at (the extensible form's 40 bytes).
constexpr size_t fmtread = 40;

// The tail shared by the PCM and float sub-format GUIDs of an extensible format
// record (their first two bytes are the format tag, 1 or 3; these the other 14).
const uint8_t subformattail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

bool checkformat(const uint8_t *f, uint32_t size, WavReader &r, std::string &error) {
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
  if (rate < wavlowestrate || rate > wavhighestrate) {
    error = "the sample rate is " + std::to_string(rate) + " Hz; 8000 to 192000 Hz can be rendered";
    return false;
  }
  r.channels = channels;
  r.bits = bits;
  r.isfloat = tag == 3;
  r.rate = static_cast<int>(rate);
  r.framebytes = align;
  return true;
}

// Up to n bytes from the reader's source; how many came.
size_t take(WavReader &r, uint8_t *to, size_t n) {
  if (r.memory) {
    const size_t got = std::min(n, r.memorysize - r.memorypos);
    if (to) std::memcpy(to, r.memory + r.memorypos, got);
    r.memorypos += got;
    return got;
  }
  if (to) return std::fread(to, 1, n, r.file);
  uint8_t scrap[4096];
  size_t got = 0;
  while (got < n) {
    const size_t step = std::fread(scrap, 1, std::min(n - got, sizeof scrap), r.file);
    if (step == 0) break;
    got += step;
  }
  return got;
}

// The bytes left in the source after the reading position, if it can tell.
bool bytesremaining(WavReader &r, uint64_t &left) {
  if (r.memory) {
    left = r.memorysize - r.memorypos;
    return true;
  }
  if (r.name == "stdin") return false;
  std::error_code ec;
  const uint64_t size = std::filesystem::file_size(r.name, ec);
  const long at = std::ftell(r.file);
  if (ec || at < 0 || size < static_cast<uint64_t>(at)) return false;
  left = size - static_cast<uint64_t>(at);
  return true;
}

// The chunks up to the start of the data chunk's audio.
bool readheader(WavReader &r, std::string &error) {
  uint8_t head[12];
  if (take(r, head, 12) != 12 || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) {
    error = "not a WAV file";
    return false;
  }
  bool havefmt = false;
  for (;;) {
    uint8_t chunk[8];
    if (take(r, chunk, 8) != 8) break;
    const uint32_t size = le32(chunk + 4);
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      uint8_t body[fmtread];
      const size_t want = std::min<size_t>(size, fmtread);
      if (take(r, body, want) != want || take(r, nullptr, size - want) != size - want) {
        error = "the fmt chunk is truncated";
        return false;
      }
      if (!checkformat(body, size, r, error)) return false;
      havefmt = true;
      if ((size & 1) != 0) take(r, nullptr, 1);
      continue;
    }
    if (std::memcmp(chunk, "data", 4) == 0) {
      if (!havefmt) {
        error = "the data chunk comes before the fmt chunk";
        return false;
      }
      if (size == 0xFFFFFFFFu || size == 0) {
        r.toend = true;
        r.placeholder = size;
        return true;
      }
      uint64_t left;
      if (bytesremaining(r, left) && size > left) {
        error = "the data chunk is truncated (" + std::to_string(left) + " of " + std::to_string(size) + " bytes present)";
        return false;
      }
      if (size % r.framebytes != 0) {
        error = "the data chunk ends inside a frame (" + std::to_string(size) + " bytes)";
        return false;
      }
      r.bytesleft = size;
      r.frames = size / r.framebytes;
      if (r.frames > maxwavframes) {
        error = "too long: " + std::to_string(r.frames) + " frames as 16-bit stereo pass a WAV file's 4 GiB";
        return false;
      }
      return true;
    }
    if (take(r, nullptr, size) != size) break;
    if ((size & 1) != 0) take(r, nullptr, 1);  // chunks are padded to even length
  }
  error = havefmt ? "no data chunk" : "no fmt chunk";
  return false;
}

// The next whole frames' bytes into r.buffer; how many frames.
bool readframes(WavReader &r, size_t frames, size_t &got, std::string &error) {
  size_t want = frames * r.framebytes;
  if (!r.toend) want = static_cast<size_t>(std::min<uint64_t>(want, r.bytesleft));
  r.buffer.resize(want);
  const size_t bytes = want ? take(r, r.buffer.data(), want) : 0;
  if (r.file && std::ferror(r.file)) {
    error = r.name + ": read error";
    return false;
  }
  got = bytes / r.framebytes;
  r.framesread += got;
  if (r.toend) {
    if (bytes < want) {
      r.warning = "the data size is " + std::string(r.placeholder ? "0xFFFFFFFF" : "0") +
                  ", a placeholder: read to the end of the file (" + std::to_string(r.framesread) + " frames)";
      if (bytes % r.framebytes != 0) r.warning += "; an incomplete last frame was dropped";
      if (r.placeholder == 0 && r.framesread == 0 && bytes == 0) r.warning.clear();  // simply empty
      r.toend = false;
      r.bytesleft = 0;
    }
    if (r.framesread > maxwavframes) {
      error = r.name + ": too long: the frames as 16-bit stereo pass a WAV file's 4 GiB";
      return false;
    }
    return true;
  }
  r.bytesleft -= bytes;
  if (bytes < want) {
    error = r.name + ": the data chunk is truncated (" + std::to_string(r.framesread) + " of " +
            std::to_string(r.frames) + " frames present)";
    return false;
  }
  return true;
}

}  // namespace

bool openwavreader(const std::string &path, WavReader &r, std::string &error) {
  r = WavReader{};
  if (path == "-") {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    r.name = "stdin";
    r.file = stdin;
  } else {
    r.name = path;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
      error = path + ": is a folder, not a file";
      return false;
    }
    r.file = std::fopen(path.c_str(), "rb");
    if (!r.file) {
      error = path + ": cannot open (" + std::strerror(errno) + ")";
      return false;
    }
    r.ownsfile = true;
  }
  if (!readheader(r, error)) {
    if (r.file && std::ferror(r.file)) error = "read error";
    error = r.name + ": " + error;
    closewavreader(r);
    return false;
  }
  return true;
}

bool openwavmemory(const uint8_t *bytes, size_t size, WavReader &r, std::string &error) {
  r = WavReader{};
  r.name = "memory";
  static const uint8_t none = 0;
  r.memory = bytes ? bytes : &none;
  r.memorysize = size;
  return readheader(r, error);
}

bool readwav16(WavReader &r, int16_t *out, size_t frames, size_t &got, std::string &error) {
  if (!readframes(r, frames, got, error)) return false;
  const size_t width = static_cast<size_t>(r.bits / 8);
  for (size_t i = 0; i < got; ++i) {
    const uint8_t *frame = r.buffer.data() + i * r.framebytes;
    const int16_t left = wavsample16(frame, r.bits, r.isfloat);
    out[2 * i] = left;
    out[2 * i + 1] = r.channels == 1 ? left : wavsample16(frame + width, r.bits, r.isfloat);
  }
  return true;
}

bool readwavreal(WavReader &r, double *out, size_t frames, size_t &got, std::string &error) {
  if (!readframes(r, frames, got, error)) return false;
  const size_t width = static_cast<size_t>(r.bits / 8);
  for (size_t i = 0; i < got; ++i) {
    const uint8_t *frame = r.buffer.data() + i * r.framebytes;
    const double left = wavsamplereal(frame, r.bits, r.isfloat);
    out[2 * i] = left;
    out[2 * i + 1] = r.channels == 1 ? left : wavsamplereal(frame + width, r.bits, r.isfloat);
  }
  return true;
}

void closewavreader(WavReader &r) {
  if (r.ownsfile && r.file) std::fclose(r.file);
  r.file = nullptr;
  r.ownsfile = false;
}

namespace {

bool readall(WavReader &r, WavAudio &audio, std::string &error) {
  audio = WavAudio{};
  audio.channels = r.channels;
  audio.bits = r.bits;
  audio.isfloat = r.isfloat;
  audio.rate = r.rate;
  constexpr size_t block = 4096;
  size_t got = 0;
  do {
    const size_t at = audio.samples.size();
    audio.samples.resize(at + 2 * block);
    if (!readwav16(r, audio.samples.data() + at, block, got, error)) return false;
    audio.samples.resize(at + 2 * got);
  } while (got > 0);
  audio.warning = r.warning;
  return true;
}

}  // namespace

bool parsewav(const std::vector<uint8_t> &bytes, WavAudio &audio, std::string &error) {
  WavReader r;
  if (!openwavmemory(bytes.data(), bytes.size(), r, error)) return false;
  if (!readall(r, audio, error)) {
    // The reader names its source; the whole-file reader's caller names it instead.
    if (error.rfind("memory: ", 0) == 0) error.erase(0, 8);
    return false;
  }
  return true;
}

bool readwav(const std::string &path, WavAudio &audio, std::string &error) {
  WavReader r;
  if (!openwavreader(path, r, error)) return false;
  const bool ok = readall(r, audio, error);
  closewavreader(r);
  return ok;
}
