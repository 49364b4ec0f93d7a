// renderterminal.h: the renderer's terminal progress line and floating-point mode.
#pragma once
#include <cstddef>

bool stderristerminal();

// Sets flush-to-zero and denormals-are-zero for this thread: subnormal floats in
// decaying memories then cost no time. They lie below 1e-38 on a 16-bit scale,
// so nothing audible changes.
void enableflushtozero();

// "rendering: 42%" on stderr, rewritten in place, only when enabled.
class ProgressLine {
 public:
  ProgressLine(bool enabled, size_t totalframes) : enabled_(enabled), total_(totalframes) {}
  void update(size_t frames);
  void finish();

 private:
  bool enabled_;
  size_t total_;
  int shown_ = -1;
};
