// renderterminal.h: the renderer's progress line, shown only on a console.
//
//   ProgressLine progress(enabled, totalframes);   // enabled: stderristerminal() and no --quiet
//   for each block: progress.update(framesdone);  // redrawn at most four times a second
//   progress.finish();                             // the last line at 100 %, then a line end
//
// The line is rewritten in place on stderr:
//   rendering  42%   12.5x real time   0:35 left
#pragma once
#include <chrono>
#include <cstddef>
#include <string>

// True when stderr is a console (a terminal), not a file, a pipe or the null
// device. One implementation per platform (renderconsole*.cpp).
bool stderristerminal();

// The text of the line: the share done, the multiple of real time so far
// (audio seconds per second of work) and the time left at that pace.
std::string progresstext(size_t frames, size_t totalframes, double elapsedseconds);

class ProgressLine {
 public:
  ProgressLine(bool enabled, size_t totalframes);
  void update(size_t frames);
  void finish();

 private:
  void draw(size_t frames);
  bool enabled_;
  size_t total_;
  size_t nextcheck_ = 0;  // frames after which the clock is read again
  std::chrono::steady_clock::time_point start_, drawn_;
  size_t width_ = 0;  // characters of the line shown last
};
