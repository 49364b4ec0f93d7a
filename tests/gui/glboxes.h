// glboxes: reading back what the current OpenGL context drew, for the tests
// of both toolkit instances.
#pragma once
#include <GL/gl.h>

#include <cstdint>
#include <vector>

// 0xRRGGBB of the back buffer at (x, y) from the bottom left.
inline uint32_t glpixel(int x, int y) {
  unsigned char rgba[4] = {};
  glReadBuffer(GL_BACK);
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return (uint32_t)rgba[0] << 16 | (uint32_t)rgba[1] << 8 | rgba[2];
}

// Pixels of the back buffer that are not black.
inline int litpixels(int width, int height) {
  std::vector<unsigned char> rgba((size_t)width * height * 4);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  int lit = 0;
  for (size_t i = 0; i < rgba.size(); i += 4) lit += (rgba[i] | rgba[i + 1] | rgba[i + 2]) != 0;
  return lit;
}

// One em square (a glyph is one unit high) cleared to black, white ink.
inline void glyphview(int width, int height) {
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-0.1, 1.0, -0.3, 0.8, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor3f(1, 1, 1);
}

// How far the lists drawn since the last glLoadIdentity moved the transform
// (each glyph list ends by moving on by its advance).
inline float advance() {
  float m[16] = {};
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  return m[12];
}

// Whether this instance offers guiloadtexture: the probe's catch-all is
// chosen only when the toolkit's own is missing.
namespace glprobe {
struct absent {};
absent guiloadtexture(...);
}  // namespace glprobe
