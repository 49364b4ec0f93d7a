// glboxes: reading back what an OpenGL context drew, for the tests of both
// toolkit instances.
//   glpixel(x, y, GL_BACK)     0xRRGGBB at (x, y) from the bottom left
//   litpixels(w, h)            pixels of the back buffer that are not black
//   advance()                  how far the drawn lists moved the transform
#pragma once
#include <GL/gl.h>

#include <cstdint>
#include <vector>

inline uint32_t glpixel(int x, int y, GLenum buffer) {
  unsigned char rgba[4] = {};
  glReadBuffer(buffer);
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return (uint32_t)rgba[0] << 16 | (uint32_t)rgba[1] << 8 | rgba[2];
}

inline int litpixels(int width, int height) {
  std::vector<unsigned char> rgba((size_t)width * height * 4);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  int lit = 0;
  for (size_t i = 0; i < rgba.size(); i += 4) lit += (rgba[i] | rgba[i + 1] | rgba[i + 2]) != 0;
  return lit;
}

// A view of one em square (glyphs are one unit high) on black, white ink.
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

// Each glyph list ends by moving on by the glyph's advance.
inline float advance() {
  float m[16] = {};
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  return m[12];
}

// Whether this instance of the toolkit offers guiloadtexture: the probe's
// catch-all is chosen only when the toolkit's own is missing.
namespace glprobe {
struct absent {};
absent guiloadtexture(...);
}  // namespace glprobe
