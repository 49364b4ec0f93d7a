// guipicturecopy: the 32-bit copy of a picture file shared by the pixel
// copies (guidrawimage, guistretchimage) and the textures (guiloadtexture).
// Main program's instance only: it reads pictures through guiloadimage.
//
//   picturecopy c;
//   if (loadpicture(c, file) && makesection(c, c.width, c.height)) {
//     BitBlt(c.sectiondc, 0, 0, c.width, c.height, c.picturedc, 0, 0, SRCCOPY);
//     ... c.section's pixels, c.bits ...
//   }
//   freecopy(c);   // always, also after a failure
//
// Thread: user-interface thread only.
#pragma once
#include "gui_quarn/guitables.h"

#if !QUARN_GUI_PLUGIN
#include <string>

struct picturecopy {
  HBITMAP picture = 0;      // the picture as loaded, selected into picturedc
  HDC picturedc = 0;
  HGDIOBJ pictureold = 0;
  HBITMAP section = 0;      // 32-bit section, selected into sectiondc
  HDC sectiondc = 0;
  HGDIOBJ sectionold = 0;
  void *bits = 0;           // the section's pixel memory: rows bottom-up
  int width = 0;            // the picture's measured size, pixels
  int height = 0;
};

// Loads and measures the picture; false when it could not be read.
bool loadpicture(picturecopy &c, const std::string &file);
// The 32-bit section of w x h, selected into its own context.
bool makesection(picturecopy &c, int w, int h);
void freecopy(picturecopy &c);
#endif
