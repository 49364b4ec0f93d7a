// wavwriter.cpp: 16-bit stereo WAV written whole or a block at a time, to a
// file (through a temporary file) or to stdout (portable, no <windows.h>).
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "engine/wavfile.h"

namespace {

void put32(std::vector<uint8_t> &b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void put16(std::vector<uint8_t> &b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

constexpr uint64_t maxwavframes = (0xFFFFFFFFu - 36) / 4;
constexpr long riffsizeat = 4, datasizeat = 40;

// The 44-byte header of the plain form; frames unknown gives the placeholder sizes.
std::vector<uint8_t> header(int rate, uint64_t frames) {
  const bool known = frames != wavunknownframes;
  const uint32_t databytes = known ? static_cast<uint32_t>(frames * 4) : 0xFFFFFFFFu;
  std::vector<uint8_t> b;
  b.reserve(44);
  b.insert(b.end(), {'R', 'I', 'F', 'F'});
  put32(b, known ? 36 + databytes : 0xFFFFFFFFu);
  b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put32(b, 16);
  put16(b, 1);                                  // PCM
  put16(b, 2);                                  // channels
  put32(b, static_cast<uint32_t>(rate));        // frames per second
  put32(b, static_cast<uint32_t>(rate) * 4);    // bytes per second
  put16(b, 4);                                  // block align
  put16(b, 16);                                 // bits per sample
  b.insert(b.end(), {'d', 'a', 't', 'a'});
  put32(b, databytes);
  return b;
}

bool writebytes(WavWriter &w, const std::vector<uint8_t> &b, std::string &error) {
  if (!b.empty() && std::fwrite(b.data(), 1, b.size(), w.file) != b.size()) {
    error = (w.path == "-" ? std::string("stdout") : w.path) + ": write error";
    return false;
  }
  return true;
}

}  // namespace

std::vector<uint8_t> encodewav(const std::vector<int16_t> &samples, int rate) {
  std::vector<uint8_t> b = header(rate, samples.size() / 2);
  b.reserve(44 + 2 * samples.size());
  for (int16_t s : samples) put16(b, static_cast<uint16_t>(s));
  return b;
}

bool writewav(const std::string &path, const std::vector<int16_t> &samples, std::string &error, int rate) {
  WavWriter w;
  if (!openwavwriter(path, rate, samples.size() / 2, w, error)) return false;
  if (!writewav16(w, samples.data(), samples.size() / 2, error) || !closewavwriter(w, error)) {
    abandonwavwriter(w);
    return false;
  }
  return true;
}

bool openwavwriter(const std::string &path, int rate, uint64_t frames, WavWriter &w, std::string &error) {
  w = WavWriter{};
  w.path = path;
  w.rate = rate;
  w.announced = frames;
  if (frames != wavunknownframes && frames > maxwavframes) {
    error = path + ": too long for a WAV file";
    return false;
  }
  std::error_code ec;
  const bool device = path != "-" && std::filesystem::exists(path, ec) && !std::filesystem::is_regular_file(path, ec) &&
                      !std::filesystem::is_directory(path, ec);
  if (path == "-") {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    w.tostdout = true;
    w.file = stdout;
  } else if (device) {
    // A device or a pipe (/dev/null, a FIFO) is written as it is: renaming a
    // file over it would replace it.
    w.tostdout = true;
    w.file = std::fopen(path.c_str(), "wb");
    if (!w.file) {
      error = path + ": cannot open (" + std::strerror(errno) + ")";
      return false;
    }
  } else {
    w.temp = path + ".partial";
    w.file = std::fopen(w.temp.c_str(), "wb");
    if (!w.file) {
      error = path + ": cannot create (" + std::strerror(errno) + ")";
      return false;
    }
  }
  if (!writebytes(w, header(rate, frames), error)) {
    abandonwavwriter(w);
    return false;
  }
  return true;
}

bool writewav16(WavWriter &w, const int16_t *samples, size_t frames, std::string &error) {
  if (w.frames + frames > maxwavframes) {
    error = (w.path == "-" ? std::string("stdout") : w.path) + ": too long for a WAV file";
    return false;
  }
  w.buffer.clear();
  w.buffer.reserve(4 * frames);
  for (size_t i = 0; i < 2 * frames; ++i) put16(w.buffer, static_cast<uint16_t>(samples[i]));
  w.frames += frames;
  return writebytes(w, w.buffer, error);
}

bool closewavwriter(WavWriter &w, std::string &error) {
  if (w.tostdout) {
    bool ok = std::fflush(w.file) == 0;
    if (w.file != stdout) ok = std::fclose(w.file) == 0 && ok;
    w.file = nullptr;
    if (!ok) error = (w.path == "-" ? std::string("stdout") : w.path) + ": write error";
    return ok;
  }
  // The sizes, now known, over the header's.
  std::vector<uint8_t> riff, data;
  put32(riff, static_cast<uint32_t>(36 + 4 * w.frames));
  put32(data, static_cast<uint32_t>(4 * w.frames));
  bool ok = std::fseek(w.file, riffsizeat, SEEK_SET) == 0 && writebytes(w, riff, error) &&
            std::fseek(w.file, datasizeat, SEEK_SET) == 0 && writebytes(w, data, error);
  ok = std::fclose(w.file) == 0 && ok;
  w.file = nullptr;
  if (!ok) {
    std::remove(w.temp.c_str());
    error = w.path + ": write error";
    return false;
  }
  std::error_code ec;
  std::filesystem::rename(w.temp, w.path, ec);
  if (ec) {
    std::remove(w.temp.c_str());
    error = w.path + ": cannot replace (" + ec.message() + ")";
    return false;
  }
  return true;
}

void abandonwavwriter(WavWriter &w) {
  if (w.tostdout) {
    if (w.file) std::fflush(w.file);
    if (w.file && w.file != stdout) std::fclose(w.file);
  } else {
    if (w.file) std::fclose(w.file);
    if (!w.temp.empty()) std::remove(w.temp.c_str());
  }
  w.file = nullptr;
}
