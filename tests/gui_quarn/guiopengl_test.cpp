// OpenGL in a graphic box: contexts and swaps, outline text as display lists,
// keyed textures, and what starting on a second target releases.
#include "tests/gui_quarn/coretest.h"
#include "tests/gui_quarn/filespictures.h"

#include <GL/gl.h>  // after windows.h

// 0xRRGGBB of the back buffer at (x, y) from the bottom left.
static uint32_t glpixel(int x, int y) {
  unsigned char rgba[4] = {};
  glReadBuffer(GL_BACK);
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return (uint32_t)rgba[0] << 16 | (uint32_t)rgba[1] << 8 | rgba[2];
}

// Pixels of the back buffer that are not black.
static int litpixels(int width, int height) {
  std::vector<unsigned char> rgba((size_t)width * height * 4);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  int lit = 0;
  for (size_t i = 0; i < rgba.size(); i += 4) lit += (rgba[i] | rgba[i + 1] | rgba[i + 2]) != 0;
  return lit;
}

// One em square (a glyph is one unit high) cleared to black, white ink.
static void glyphview(int width, int height) {
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
static float advance() {
  float m[16] = {};
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  return m[12];
}

struct OpenGl : CoreTest {
  void SetUp() override {
    CoreTest::SetUp();
    addgraphicbox("w.gl", 10, 10, 64, 64, "", 0);
    addgraphicbox("w.other", 90, 10, 64, 64, "", 0);
    openplain("w");
  }
  void TearDown() override {
    guistopopenGL();
    CoreTest::TearDown();
  }
};

TEST_F(OpenGl, ABoxClearsToAColourAndAWindowShowsItsSwap) {
  guistartopenGL("w.gl");
  glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(glpixel(32, 32), 0x336699u);
  guistartopenGL("w.none");
  EXPECT_EQ(boxes.seen(), (std::vector<seenbox>{{"guistartopenGL", "w.none : not found !"}}));
  EXPECT_EQ(guigl.target, gethandle("w.gl")) << "the context in use stays";

  // Under Wine a child control's context draws off the screen; a window's
  // own shows what a swap brought to the front.
  guistartopenGL("w");
  glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
  for (int frame = 0; frame < 3; frame++) {  // the first may come before the window shows
    glClear(GL_COLOR_BUFFER_BIT);
    guiswapbuffers();
    pump();
    Sleep(50);
  }
  POINT at = {250, 150};  // clear of both boxes
  ClientToScreen(gethandle("w"), &at);
  HDC screen = GetDC(0);
  EXPECT_EQ(GetPixel(screen, at.x, at.y), RGB(0x33, 0x66, 0x99));
  ReleaseDC(0, screen);
}

TEST_F(OpenGl, TextCallsOneListPerUnsignedByteUpToThe255th) {
  guistartopenGL("w.gl");
  EXPECT_TRUE(glIsList(99000) && glIsList(99255) && !glIsList(99256));
  glyphview(64, 64);
  gldrawtext("");
  EXPECT_EQ((std::vector<float>{(float)litpixels(64, 64), advance()}), (std::vector<float>{0, 0}));
  gldrawtext("H");
  EXPECT_GT(litpixels(64, 64), 100) << "an H fills a good part of the em square";

  auto advanceof = [](const std::string &text) {
    glLoadIdentity();
    gldrawtext(text);
    return advance();
  };
  EXPECT_GT(advanceof("\xC9"), 0.3f) << "character 201 is list 99201, not below the base";
  float a254 = advanceof(std::string(254, 'H')), a255 = advanceof(std::string(255, 'H'));
  EXPECT_GT(a255, a254);
  EXPECT_EQ(advanceof(std::string(300, 'H')), a255) << "only the first 255 are drawn";
}

TEST_F(OpenGl, TexturesGetAlphaByBrightnessInTheChosenDirection) {
  // 4 x 4 (no rescaling for the mipmaps), rows top-down.
  std::string bmp = temppicture("texture.bmp");
  writebmp(bmp, 4, 4, {0xFFFFFF, 0xC8C8C8, 0x646464, 0x000000, 0xFF0000, 0x00FF00, 0x0000FF,
                       0x010101, 0x808080, 0x7F7F7F, 0x000000, 0x303030, 0xFFFF00, 0x00FFFF,
                       0x102030, 0x000000});
  // The same 32-bit copy unkeyed, rows bottom-up as in a texture.
  imagebuffer *im = createimage(4, 4, 0);
  guidrawimage(im, bmp, 255, 0, 0);
  std::vector<uint32_t> copied;
  for (int y = 3; y >= 0; y--)
    for (int x = 0; x < 4; x++) copied.push_back(getimagepixel(im, x, y));
  destroyimage(im);
  auto keyed = [&copied](uint32_t alpha, bool (*passes)(int sum)) {
    std::vector<uint32_t> out = copied;
    for (uint32_t &p : out)
      if (passes((p & 255) + (p >> 8 & 255) + (p >> 16 & 255))) p |= alpha << 24;
    return out;
  };
  auto texels = [](int texture) {
    std::vector<uint32_t> out(16);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE, out.data());
    return out;
  };

  guistartopenGL("w.gl");
  int plain = guiloadtexture(bmp, 255, 0x80, 0);
  ASSERT_NE(plain, 0);
  EXPECT_EQ(texels(plain), copied) << "key 255: the copy as it is, alpha included";
  EXPECT_EQ(texels(guiloadtexture(bmp, 0, 0x80, 0)), keyed(0x80, [](int s) { return s > 0; }))
      << "key 0, direction 0: every pixel but pure black";
  EXPECT_EQ(texels(guiloadtexture(bmp, 128, 0xC0, 0)), keyed(0xC0, [](int s) { return s > 384; }));
  EXPECT_EQ(texels(guiloadtexture(bmp, 100, 0x40, 1)), keyed(0x40, [](int s) { return s < 300; }));
  GLint smallest = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &smallest);
  EXPECT_EQ(smallest, 1) << "mipmaps down to 1 x 1";

  EXPECT_EQ(guiloadtexture(temppicture("missing.png"), 255, 0, 0), 0);
  guideletetexture(0);
  EXPECT_TRUE(glIsTexture(plain));
  guideletetexture(plain);
  EXPECT_FALSE(glIsTexture(plain));
  DeleteFileA(bmp.c_str());
}

TEST_F(OpenGl, StartingOnAnotherTargetReleasesTheEarlierOne) {
  guistartopenGL("w.gl");
  HGLRC first = guigl.rc;
  guistartopenGL("w.other");
  ASSERT_NE(guigl.rc, first);
  EXPECT_FALSE(wglDeleteContext(first)) << "the first context was deleted already";
  EXPECT_EQ(wglGetCurrentContext(), guigl.rc);
  glyphview(64, 64);
  gldrawtext("H");
  EXPECT_GT(litpixels(64, 64), 100) << "the new context has its own font lists";

  guistopopenGL();  // as careful callers did before: the same end
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  guistartopenGL("w.gl");
  glyphview(64, 64);
  gldrawtext("H");
  EXPECT_GT(litpixels(64, 64), 100);
}
