// renderterminal.cpp: terminal detection, progress line, flush-to-zero.
#include "renderterminal.h"

#include <cstdio>
#include <xmmintrin.h>
#include <pmmintrin.h>
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

void enableflushtozero() {
  _MM_SET_FLUSH_ZERO_MODE(_MM_FLUSH_ZERO_ON);
  _MM_SET_DENORMALS_ZERO_MODE(_MM_DENORMALS_ZERO_ON);
}

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
