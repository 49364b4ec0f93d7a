// guiimagedraw: a picture file copied pixel by pixel into an image buffer, at
// its own size or stretched to the buffer's, with colour keying. Main
// program's instance only (it needs the picture library).
// Thread: user-interface thread only.
#include "gui_quarn/guiimage.h"
#include "gui_quarn/guipicturecopy.h"

#if !QUARN_GUI_PLUGIN
#include <new>
#include <vector>

// Reads the section's w x h pixels (row 0 first), keys them and sets them
// into the image: pixel i goes to x = i mod w, y = i div w.
static void keyandset(picturecopy &c, imagebuffer *into, int w, int h, uint32_t key,
                      uint32_t colour, int mode) {
  std::vector<uint32_t> pixels;
  try {
    pixels.resize((size_t)w * h);  // at most 8000 x 2000 words
  } catch (const std::bad_alloc &) {
    return;
  }
  GetBitmapBits(c.section, (LONG)(pixels.size() * 4), pixels.data());
  keypixels(pixels.data(), pixels.size(), key, colour, mode);
  if (!into) return;
  for (size_t i = 0; i < pixels.size(); i++)
    setimagepixel(into, (int)(i % w), (int)(i / w), pixels[i]);
}

int guidrawimage(imagebuffer *into, const std::string &file, uint32_t key, uint32_t colour,
                 int mode) {
  picturecopy c;
  if (loadpicture(c, file) && makesection(c, c.width, c.height)) {
    BitBlt(c.sectiondc, 0, 0, c.width, c.height, c.picturedc, 0, 0, SRCCOPY);
    keyandset(c, into, c.width, c.height, key, colour, mode);
  }
  freecopy(c);
  return 0;
}

int guistretchimage(imagebuffer *into, const std::string &file, uint32_t key, uint32_t colour,
                    int mode) {
  picturecopy c;
  if (loadpicture(c, file)) {
    int w = measureimagewidth(into);
    int h = measureimageheight(into);
    if (makesection(c, w, h)) {
      // Whole pixels, no blending: a shrunk picture keeps real colours
      // rather than the AND of neighbours.
      SetStretchBltMode(c.sectiondc, COLORONCOLOR);
      StretchBlt(c.sectiondc, 0, 0, w, h, c.picturedc, 0, 0, c.width, c.height, SRCCOPY);
      keyandset(c, into, w, h, key, colour, mode);
    }
  }
  freecopy(c);
  return 0;
}
#endif
