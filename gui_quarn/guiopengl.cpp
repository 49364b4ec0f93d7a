// guiopengl: the rendering context on a named window or control, its outline
// font, buffer swaps, text and texture deletion.
// Thread: user-interface thread only.
#include "gui_quarn/guiopengl.h"

#include <GL/gl.h>

#include <cstring>

#include "gui_quarn/guicore.h"

guiglstate guigl;

// Outline glyphs of a 20-pixel "Arial" for characters 0..255, as display lists
// from guiglfontbase, in the context current on dc.
static void makefontlists(HDC dc) {
  LOGFONTA description = {};
  description.lfHeight = -20;
  description.lfWeight = 400;
  std::strcpy(description.lfFaceName, "Arial");
  HFONT font = CreateFontIndirectA(&description);
  HGDIOBJ old = SelectObject(dc, font);
  wglUseFontOutlinesA(dc, 0, 256, guiglfontbase, 0.0f, 0.1f, WGL_FONT_POLYGONS, 0);
  // A font still selected cannot be deleted: put the old one back first.
  SelectObject(dc, old);
  DeleteObject(font);
}

void guistartopenGL(const std::string &name) {
  HWND target = gethandle(name);
  if (!target) {
    guinotice(name + " : not found !", "guistartopenGL");
    return;
  }
  // One context at a time: an earlier one would otherwise be forgotten with
  // its drawing context and font lists.
  if (guigl.rc || guigl.dc) guistopopenGL();

  guigl.target = target;
  guigl.dc = GetDC(target);
  PIXELFORMATDESCRIPTOR format = {};
  format.nSize = 40;
  format.nVersion = 1;
  format.dwFlags = 37;  // draw to window, OpenGL, double buffer
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = 24;
  format.cDepthBits = 16;
  format.cStencilBits = 8;
  format.iLayerType = PFD_MAIN_PLANE;
  SetPixelFormat(guigl.dc, ChoosePixelFormat(guigl.dc, &format), &format);
  guigl.rc = wglCreateContext(guigl.dc);
  wglMakeCurrent(guigl.dc, guigl.rc);
  makefontlists(guigl.dc);
}

// Deleting the rendering context frees its font lists and textures with it.
void guistopopenGL() {
  wglMakeCurrent(0, 0);
  if (guigl.rc) wglDeleteContext(guigl.rc);
  // A drawing context from GetDC belongs to the window system once released;
  // only one that could not be released (its window already gone) is deleted.
  if (guigl.dc && !ReleaseDC(guigl.target, guigl.dc)) DeleteDC(guigl.dc);
  guigl = guiglstate{};
}

void guiswapbuffers() {
  glFlush();
  SwapBuffers(guigl.dc);
}

void gldrawtext(const std::string &text) {
  unsigned char buffer[256] = {};
  size_t n = text.size() < 255 ? text.size() : 255;
  std::memcpy(buffer, text.data(), n);
  glListBase(guiglfontbase);
  // Unsigned bytes: character 233 is list base + 233, not base - 23.
  if (n) glCallLists((GLsizei)n, GL_UNSIGNED_BYTE, buffer);
}

void guideletetexture(int texture) {
  if (!texture) return;
  GLuint name = (GLuint)texture;
  glDeleteTextures(1, &name);
}
