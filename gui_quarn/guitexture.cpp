// guitexture: picture files as mipmapped OpenGL textures, with colour-keyed
// alpha. Main program's instance only (it reads pictures through the picture
// library).
// Thread: user-interface thread, with the toolkit's context current.
#include "gui_quarn/guiopengl.h"

#if !QUARN_GUI_PLUGIN
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>

#include "gui_quarn/guipicturecopy.h"

// Brightness keying: a pixel brighter (direction 0) or darker (any other
// direction) than 3 * key, summed over red, green and blue, gets the alpha.
static void keyalpha(uint32_t *pixels, size_t n, int key, int alpha, int direction) {
  int threshold = 3 * key;
  uint32_t top = (uint32_t)alpha << 24;
  for (size_t i = 0; i < n; i++) {
    uint32_t p = pixels[i];
    int sum = (int)(p & 255) + (int)((p >> 8) & 255) + (int)((p >> 16) & 255);
    if (direction ? sum < threshold : sum > threshold) pixels[i] = p | top;
  }
}

int guiloadtexture(const std::string &file, int key, int alpha, int direction) {
  GLuint texture = 0;
  picturecopy c;
  if (loadpicture(c, file) && makesection(c, c.width, c.height)) {
    BitBlt(c.sectiondc, 0, 0, c.width, c.height, c.picturedc, 0, 0, SRCCOPY);
    GdiFlush();  // the copy must be in the section's memory before it is read
    uint32_t *pixels = (uint32_t *)c.bits;
    if (key != 255) keyalpha(pixels, (size_t)c.width * c.height, key, alpha, direction);
    glGenTextures(1, &texture);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, c.width, c.height, GL_BGRA_EXT, GL_UNSIGNED_BYTE, pixels);
    glBindTexture(GL_TEXTURE_2D, 0);
  }
  freecopy(c);
  return (int)texture;
}
#endif
