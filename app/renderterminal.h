// renderterminal.h: the renderer's terminal detection and progress line.
#pragma once
#include <cstddef>

bool stderristerminal();

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
