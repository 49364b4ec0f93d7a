// renderterminal.h: the renderer's progress line, shown only on a console.
//
//   ProgressLine progress(enabled, totalframes, rate);   // enabled: stderristerminal() and no --quiet;
//                                                        // totalframes 0: not known (stdin)
//   for each block: progress.update(framesdone);  // redrawn at most four times a second
//   progress.finish();                             // the last line at 100 %, then a line end
//
// The line is rewritten in place on stderr:
//   rendering  42%, 12.5x real time, 0:35 left
//   rendering 1:05:10 of audio, 12.5x real time        (the length not known)
#pragma once
#include <chrono>
#include <cstddef>
#include <string>

// True when stderr is a console (a terminal), not a file, a pipe or the null
// device. One implementation per platform (renderconsole*.cpp).
bool stderristerminal();

// The text of the line: the share done, the multiple of real time so far
// (audio seconds per second of work) and the time left at that pace; with
// totalframes 0, the audio done instead of the share and the time left.
std::string progresstext(size_t frames, size_t totalframes, double elapsedseconds, int rate = 44100);

class ProgressLine {
 public:
  ProgressLine(bool enabled, size_t totalframes, int rate = 44100);
  void update(size_t frames);
  void finish();

 private:
  void draw(size_t frames);
  bool enabled_;
  size_t total_, last_ = 0;
  int rate_;
  size_t nextcheck_ = 0;  // frames after which the clock is read again
  std::chrono::steady_clock::time_point start_, drawn_;
  size_t width_ = 0;  // characters of the line shown last
};
