// renderpipe.cpp: reader -> (resampler) -> engine blocks -> (resampler) -> writer.
#include "app/render/renderpipe.h"

#include <vector>

#include "app/render/resampler.h"

namespace {

constexpr int enginerate = 44100;
constexpr size_t readframes = 4096;  // frames read at a time when converting

struct Pipe {
  WavWriter *writer;
  RenderBlock block;
  size_t buffersize;
  bool convertout;
  Resampler back;
  std::vector<int16_t> pending, in, out;  // engine input waiting for a whole block; one block each
  std::vector<double> real, resampled;
};

// Rounds the converted frames to 16 bits and hands them on.
void rounded(const std::vector<double> &values, std::vector<int16_t> &to) {
  for (double v : values) to.push_back(roundsample16(v));
}

bool write(Pipe &p, std::string &error) {
  if (!p.convertout) return writewav16(*p.writer, p.out.data(), p.out.size() / 2, error);
  p.resampled.clear();
  p.real.assign(p.out.begin(), p.out.end());
  resample(p.back, p.real.data(), p.out.size() / 2, p.resampled);
  p.out.clear();
  rounded(p.resampled, p.out);
  return writewav16(*p.writer, p.out.data(), p.out.size() / 2, error);
}

// Runs every whole block waiting (and, at the end, the shorter last one).
bool runblocks(Pipe &p, bool last, std::string &error) {
  const size_t blocksamples = 2 * p.buffersize;
  size_t at = 0;
  for (; p.pending.size() - at >= blocksamples || (last && at < p.pending.size()); at += p.in.size()) {
    const size_t count = std::min(blocksamples, p.pending.size() - at);
    p.in.assign(p.pending.begin() + at, p.pending.begin() + at + count);
    p.out.resize(count);
    p.block(p.in.data(), static_cast<int>(count / 2), p.out.data());
    if (!write(p, error)) return false;
  }
  p.pending.erase(p.pending.begin(), p.pending.begin() + at);
  return true;
}

}  // namespace

bool renderstream(WavReader &reader, WavWriter &writer, int buffersize, RenderBlock block, ProgressLine &progress,
                  std::string &error) {
  static Pipe p;  // kept between renders: only its buffers' room
  p.writer = &writer;
  p.block = block;
  p.buffersize = static_cast<size_t>(buffersize);
  p.pending.clear();
  const bool convertin = reader.rate != enginerate;
  p.convertout = writer.rate != enginerate;
  ResamplerFilter infilter, outfilter;
  Resampler forth;
  if (convertin) {
    designresampler(infilter, reader.rate, enginerate);
    startresampler(forth, infilter, 2);
  }
  if (p.convertout) {
    designresampler(outfilter, enginerate, writer.rate);
    startresampler(p.back, outfilter, 2);
  }
  // The file's frames: whole blocks as they are read when nothing is converted.
  const size_t step = convertin ? readframes : p.buffersize;
  std::vector<double> real(2 * step);
  std::vector<int16_t> samples(2 * step);
  size_t got = 0, done = 0;
  for (;;) {
    if (convertin) {
      if (!readwavreal(reader, real.data(), step, got, error)) return false;
      p.resampled.clear();
      resample(forth, real.data(), got, p.resampled);
      rounded(p.resampled, p.pending);
    } else {
      if (!readwav16(reader, samples.data(), step, got, error)) return false;
      p.pending.insert(p.pending.end(), samples.begin(), samples.begin() + 2 * got);
    }
    if (got == 0) break;
    if (!runblocks(p, false, error)) return false;
    done += got;
    progress.update(done);
  }
  if (convertin) {
    p.resampled.clear();
    finishresampler(forth, resampledframes(reader.rate, enginerate, static_cast<int64_t>(done)), p.resampled);
    rounded(p.resampled, p.pending);
  }
  if (!runblocks(p, true, error)) return false;
  if (p.convertout) {
    p.resampled.clear();
    finishresampler(p.back, resampledframes(reader.rate, writer.rate, static_cast<int64_t>(done)), p.resampled);
    p.out.clear();
    rounded(p.resampled, p.out);
    if (!writewav16(writer, p.out.data(), p.out.size() / 2, error)) return false;
  }
  progress.finish();
  return true;
}
