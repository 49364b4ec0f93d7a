// OpenGL in a graphic box: contexts and swaps, outline text as display lists,
// keyed textures, and what starting on a second target releases.
#include <GL/gl.h>

#include <type_traits>

#include "coretest.h"
#include "filespictures.h"
#include "glboxes.h"

using namespace glprobe;
static_assert(std::is_same_v<decltype(guiloadtexture(std::string(), 0, 0, 0)), int>,
              "the main instance loads textures");

struct opengl : coretest {
  void SetUp() override {
    coretest::SetUp();
    addgraphicbox("w.gl", 10, 10, 64, 64, "", 0);
    addgraphicbox("w.other", 90, 10, 64, 64, "", 0);
    openplain("w");
    pump();
  }
  void TearDown() override {
    guistopopenGL();
    coretest::TearDown();
  }
};

TEST_F(opengl, aboxgetsadoublebufferedcontextandnamesmustexist) {
  guistartopenGL("w.gl");
  ASSERT_NE(wglGetCurrentContext(), nullptr);
  EXPECT_EQ(guigl.target, gethandle("w.gl"));
  PIXELFORMATDESCRIPTOR format = {};
  DescribePixelFormat(guigl.dc, GetPixelFormat(guigl.dc), sizeof format, &format);
  EXPECT_TRUE(format.dwFlags & PFD_DOUBLEBUFFER);
  EXPECT_GE((std::vector<int>{format.cColorBits, format.cDepthBits, format.cStencilBits}),
            (std::vector<int>{24, 16, 8}));

  glViewport(0, 0, 64, 64);
  glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(glpixel(32, 32, GL_BACK), 0x336699u);
  guiswapbuffers();

  guistartopenGL("w.none");
  EXPECT_EQ(boxes.seen(), (std::vector<seenbox>{{"guistartopenGL", "w.none : not found !"}}));
  EXPECT_EQ(guigl.target, gethandle("w.gl")) << "the context in use stays";
  guistopopenGL();
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_EQ(guigl.rc, nullptr);
}

// Under Wine an OpenGL child control is drawn off the screen, so what a swap
// shows is read from a window's own context.
TEST_F(opengl, aswapshowsthedrawingonthescreen) {
  guistartopenGL("w");
  glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
  for (int frame = 0; frame < 3; frame++) {  // the first may come before the window is shown
    glClear(GL_COLOR_BUFFER_BIT);
    guiswapbuffers();
    pump();
    Sleep(50);
  }
  POINT at = {250, 150};  // clear of both boxes
  ClientToScreen(gethandle("w"), &at);
  HDC screen = GetDC(0);
  COLORREF shown = GetPixel(screen, at.x, at.y);
  ReleaseDC(0, screen);
  EXPECT_EQ(shown, RGB(0x33, 0x66, 0x99));
}

TEST_F(opengl, textdrawsoneoutlinelistperunsignedbyteuptothe255th) {
  guistartopenGL("w.gl");
  EXPECT_TRUE(glIsList(99000) && glIsList(99000 + 'H') && glIsList(99255));
  EXPECT_FALSE(glIsList(99256));

  glyphview(64, 64);
  gldrawtext("");
  EXPECT_EQ(litpixels(64, 64), 0);
  EXPECT_EQ(advance(), 0.0f);
  gldrawtext("H");
  EXPECT_GT(litpixels(64, 64), 100) << "an H is a good part of the em square";
  float h = advance();
  EXPECT_GT(h, 0.3f);

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

struct opengltextures : opengl {
  // 4 x 4, rows top-down: bright, mid-grey, dark and black pixels.
  std::vector<uint32_t> pattern = {0xFFFFFF, 0xC8C8C8, 0x646464, 0x000000,
                                   0xFF0000, 0x00FF00, 0x0000FF, 0x010101,
                                   0x808080, 0x7F7F7F, 0x000000, 0x303030,
                                   0xFFFF00, 0x00FFFF, 0x102030, 0x000000};
  std::string bmp = temppicture("texture.bmp");
  std::vector<uint32_t> copied;  // the 32-bit copy, rows bottom-up as in a texture
  void SetUp() override {
    opengl::SetUp();
    writebmp(bmp, 4, 4, pattern);
    imagebuffer *im = createimage(4, 4, 0);
    guidrawimage(im, bmp, 255, 0, 0);  // the same copy, unkeyed
    for (int y = 3; y >= 0; y--)
      for (int x = 0; x < 4; x++) copied.push_back(getimagepixel(im, x, y));
    destroyimage(im);
    guistartopenGL("w.gl");
  }
  void TearDown() override {
    DeleteFileA(bmp.c_str());
    opengl::TearDown();
  }
  static std::vector<uint32_t> texels(int texture) {
    std::vector<uint32_t> out(16);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE, out.data());
    return out;
  }
  // The copy with alpha ORed into the pixels that pass.
  std::vector<uint32_t> keyed(uint32_t alpha, bool (*passes)(int sum)) {
    std::vector<uint32_t> out = copied;
    for (uint32_t &p : out)
      if (passes((p & 255) + (p >> 8 & 255) + (p >> 16 & 255))) p |= alpha << 24;
    return out;
  }
};

TEST_F(opengltextures, keysetalphabybrightnessinthechosendirection) {
  int plain = guiloadtexture(bmp, 255, 0x80, 0);
  ASSERT_NE(plain, 0);
  EXPECT_EQ(texels(plain), copied) << "key 255: the copy as it is, alpha included";

  int bright = guiloadtexture(bmp, 0, 0x80, 0);
  EXPECT_EQ(texels(bright), keyed(0x80, [](int sum) { return sum > 0; }))
      << "key 0, direction 0: every pixel but pure black";
  int dark = guiloadtexture(bmp, 100, 0x40, 1);
  EXPECT_EQ(texels(dark), keyed(0x40, [](int sum) { return sum < 300; }));
  int mid = guiloadtexture(bmp, 128, 0xC0, 0);
  EXPECT_EQ(texels(mid), keyed(0xC0, [](int sum) { return sum > 384; }))
      << "0x808080 is exactly 384 and stays";

  GLint width = 0, smallest = 0;
  glBindTexture(GL_TEXTURE_2D, plain);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &smallest);
  EXPECT_EQ((std::vector<int>{width, smallest}), (std::vector<int>{4, 1})) << "with mipmaps";
}

TEST_F(opengltextures, missingfilesgivenothinganddeletingzerokeepseverytexture) {
  EXPECT_EQ(guiloadtexture(temppicture("missing.png"), 255, 0, 0), 0);
  int t = guiloadtexture(bmp, 255, 0, 0);
  guideletetexture(0);
  EXPECT_TRUE(glIsTexture(t));
  guideletetexture(t);
  EXPECT_FALSE(glIsTexture(t));
  EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(opengl, startingonanothertargetreleasestheearlierone) {
  guistartopenGL("w.gl");
  HGLRC first = guigl.rc;
  guistartopenGL("w.other");
  ASSERT_NE(guigl.rc, first);
  EXPECT_FALSE(wglDeleteContext(first)) << "the first context was deleted already";
  EXPECT_EQ(guigl.target, gethandle("w.other"));
  EXPECT_EQ(wglGetCurrentContext(), guigl.rc);

  glyphview(64, 64);
  gldrawtext("H");
  EXPECT_GT(litpixels(64, 64), 100) << "the new context has its own font lists";

  // Stopping first, as callers did before, ends the same way.
  guistopopenGL();
  guistartopenGL("w.gl");
  glyphview(64, 64);
  gldrawtext("H");
  EXPECT_GT(litpixels(64, 64), 100);
}
