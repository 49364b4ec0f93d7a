// renderterminal.cpp: terminal detection and progress line.
#include "renderterminal.h"

#include <cstdio>
#ifdef _WIN32
#include <io.h>
#define quarn_isatty _isatty
#define quarn_fileno _fileno
#else
#include <unistd.h>
#define quarn_isatty isatty
#define quarn_fileno fileno
#endif

bool stderristerminal() { return quarn_isatty(quarn_fileno(stderr)) != 0; }

void ProgressLine::update(size_t frames) {
  if (!enabled_ || total_ == 0) return;
  int percent = static_cast<int>(frames * 100 / total_);
  if (percent == shown_) return;
  shown_ = percent;
  std::fprintf(stderr, "\rrendering: %3d%%", percent);
  std::fflush(stderr);
}

void ProgressLine::finish() {
  if (enabled_ && shown_ >= 0) std::fprintf(stderr, "\n");
}
