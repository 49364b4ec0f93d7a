// guiopengl: OpenGL drawing into a window or control addressed by name
// (typically a graphic box declared without "gfx", so that no image is
// painted over it), with 3-D outline text and textures. One context at a time.
//
//   guistartopenGL("win.view");          // context made current, font lists built
//   glClearColor(...); glClear(...); ... glColor3f(1, 1, 1);
//   gldrawtext("hello");                 // outline glyphs, 1 unit = the font's em
//   int t = guiloadtexture("wall.png", 255, 0, 0);   // main instance only
//   glBindTexture(GL_TEXTURE_2D, t); ... guideletetexture(t);
//   guiswapbuffers();
//   guistopopenGL();
//
// The font is "Arial" 20 pixels high, drawn as polygons extruded by 0.1:
// display lists guiglfontbase + 0..255 hold characters 0..255, and each list
// moves the current transform on by the character's advance.
// Starting on another target releases the earlier one first, as
// guistopopenGL does. Texture names stay valid while the context lives.
//
// guiloadtexture (file, key, alpha, direction) keys the 32-bit copy of the
// picture first when key is not 255: pixels whose red + green + blue is above
// 3 * key (direction 0), or below it (direction non-zero), get alpha ORed into
// their top byte; the others keep what the copy left there. Texture row 0 is
// the picture's bottom row. A missing file gives 0.
// Thread: user-interface thread only (the context is current on it).
#pragma once
#include <string>

#include "gui_quarn/guitables.h"

constexpr int guiglfontbase = 99000;  // display list of character 0

// The toolkit-wide OpenGL state: what guistartopenGL made and guistopopenGL frees.
struct guiglstate {
  HWND target = 0;   // the window or control drawn into, 0 = none
  HDC dc = 0;        // the target's drawing context (GetDC)
  HGLRC rc = 0;      // the rendering context, current while it lives
};
extern guiglstate guigl;

void guistartopenGL(const std::string &name);
void guistopopenGL();
void guiswapbuffers();
void gldrawtext(const std::string &text);   // at most 255 characters
#if !QUARN_GUI_PLUGIN
int guiloadtexture(const std::string &file, int key, int alpha, int direction);
#endif
void guideletetexture(int texture);         // 0 does nothing
