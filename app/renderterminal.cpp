// renderterminal.cpp: the progress line (portable).
#include "app/renderterminal.h"

#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double redrawseconds = 0.25;
constexpr size_t checkframes = 4410;  // the clock is read once per 0.1 s of audio

double secondsbetween(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

std::string clocktext(double seconds) {
  const long s = static_cast<long>(seconds + 0.5);
  char text[32];
  if (s >= 3600)
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
  else
    std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
  return text;
}

}  // namespace

std::string progresstext(size_t frames, size_t total, double elapsed) {
  const int percent = total ? static_cast<int>(frames * 100 / total) : 100;
  char text[96];
  if (frames == 0 || elapsed <= 0) {
    std::snprintf(text, sizeof text, "rendering %3d%%", percent);
    return text;
  }
  const double speed = frames / 44100.0 / elapsed;
  const double left = elapsed * static_cast<double>(total - frames) / static_cast<double>(frames);
  std::snprintf(text, sizeof text, "rendering %3d%%, %.1fx real time, %s left", percent, speed,
                clocktext(left).c_str());
  return text;
}

ProgressLine::ProgressLine(bool enabled, size_t totalframes) : enabled_(enabled), total_(totalframes) {
  if (enabled_) start_ = drawn_ = Clock::now();
}

void ProgressLine::update(size_t frames) {
  if (!enabled_ || frames < nextcheck_) return;
  nextcheck_ = frames + checkframes;
  if (secondsbetween(drawn_, Clock::now()) >= redrawseconds) draw(frames);
}

void ProgressLine::draw(size_t frames) {
  drawn_ = Clock::now();
  std::string line = progresstext(frames, total_, secondsbetween(start_, drawn_));
  const size_t width = line.size();
  if (width < width_) line.append(width_ - width, ' ');  // covers the end of a longer line
  width_ = width;
  std::fprintf(stderr, "\r%s", line.c_str());
  std::fflush(stderr);
}

void ProgressLine::finish() {
  if (!enabled_) return;
  draw(total_);
  std::fprintf(stderr, "\n");
}
