// guifonts: colours and fonts of the control groups (statics, edits, lists,
// buttons). Controls take them when they ask their parent for colours
// (guievents), so every change repaints all windows, except the static
// background, which colours window backgrounds only if set before the window
// class is registered.
// Thread: user-interface thread only.
#include "gui_quarn/guicontrols.h"
#include "gui_quarn/guicore.h"

#include <cmath>

static COLORREF colourof(int red, int green, int blue) {
  return (COLORREF)((red & 255) + (green & 255) * 256 + (blue & 255) * 65536);
}

static void newbrush(HBRUSH &brush, COLORREF colour) {
  if (brush) DeleteObject(brush);
  brush = CreateSolidBrush(colour);
}

void setbackcolor(int red, int green, int blue) {
  gui.staticbackcolor = colourof(red, green, blue);
}

void seteditbackcolor(int red, int green, int blue) {
  gui.editbackcolor = colourof(red, green, blue);
  newbrush(gui.editbrush, gui.editbackcolor);
  guiredrawall();
}

void setlistboxbackcolor(int red, int green, int blue) {
  gui.listbackcolor = colourof(red, green, blue);
  newbrush(gui.listbrush, gui.listbackcolor);
  guiredrawall();
}

void setedittextcolor(int red, int green, int blue) {
  gui.edittextcolor = colourof(red, green, blue);
  guiredrawall();
}

void setlistboxtextcolor(int red, int green, int blue) {
  gui.listtextcolor = colourof(red, green, blue);
  guiredrawall();
}

void setstatictextcolor(int red, int green, int blue) {
  gui.statictextcolor = colourof(red, green, blue);
  guiredrawall();
}

// A font made from a stock font's description: size non-zero sets the height
// (and, in the main program, a narrow width of 0.4 x size); weight 600 (500 in
// the plug-in). Numbers other than the stock fonts, or a failed creation, give
// the default GUI font.
HFONT guimakefont(int stockfont, int size, int italic) {
  HFONT font = 0;
  switch (stockfont) {
    case 10: case 11: case 12: case 13: case 14: case 16: case 17: {
      LOGFONTA lf = {};
      if (GetObjectA(GetStockObject(stockfont), sizeof lf, &lf) == 0) break;
      if (size != 0) {
        lf.lfHeight = -size;
#if !QUARN_GUI_PLUGIN
        lf.lfWidth = (LONG)std::floor(size * 0.4);
#endif
      }
#if QUARN_GUI_PLUGIN
      lf.lfWeight = 500;
#else
      lf.lfWeight = 600;
#endif
      lf.lfItalic = (BYTE)(italic & 255);
      font = CreateFontIndirectA(&lf);
      break;
    }
    default:
      break;
  }
  if (!font) font = (HFONT)GetStockObject(17);  // DEFAULT_GUI_FONT
  return font;
}

static void setfont(HFONT &group, int stockfont, int size, int italic) {
  HFONT font = guimakefont(stockfont, size, italic);
  if (group && group != font) DeleteObject(group);  // stock fonts ignore this
  group = font;
  guiredrawall();
}

void seteditfont(int stockfont, int size, int italic) {
  setfont(gui.editfont, stockfont, size, italic);
}
void setstaticfont(int stockfont, int size, int italic) {
  setfont(gui.staticfont, stockfont, size, italic);
}
void setlistboxfont(int stockfont, int size, int italic) {
  setfont(gui.listfont, stockfont, size, italic);
}
void setbuttonfont(int stockfont, int size, int italic) {
  setfont(gui.buttonfont, stockfont, size, italic);
}
