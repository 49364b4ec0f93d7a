// guipicturecopy: a picture file loaded, measured, and given a 32-bit
// section to be copied or stretched into.
// Thread: user-interface thread only.
#include "gui_quarn/guipicturecopy.h"

#if !QUARN_GUI_PLUGIN
#include "gui_quarn/guiimage.h"

void freecopy(picturecopy &c) {
  if (c.sectiondc) {
    SelectObject(c.sectiondc, c.sectionold);
    DeleteDC(c.sectiondc);
  }
  if (c.section) DeleteObject(c.section);
  if (c.picturedc) {
    SelectObject(c.picturedc, c.pictureold);
    DeleteDC(c.picturedc);
  }
  if (c.picture) DeleteObject(c.picture);
  c = picturecopy{};
}

bool loadpicture(picturecopy &c, const std::string &file) {
  c.picture = guiloadimage(file);
  if (!c.picture) return false;
  c.picturedc = CreateCompatibleDC(0);
  if (!c.picturedc) return false;
  c.pictureold = SelectObject(c.picturedc, c.picture);
  c.width = measurebitmapwidth(c.picturedc);
  c.height = measurebitmapheight(c.picturedc);
  return true;
}

bool makesection(picturecopy &c, int w, int h) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = 40;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  c.section = CreateDIBSection(c.picturedc, &info, DIB_RGB_COLORS, &c.bits, 0, 0);
  if (!c.section) return false;
  c.sectiondc = CreateCompatibleDC(0);
  if (!c.sectiondc) return false;
  c.sectionold = SelectObject(c.sectiondc, c.section);
  return true;
}
#endif
