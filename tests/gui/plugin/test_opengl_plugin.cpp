// The plug-in's instance draws with OpenGL like the main one, but has no
// guiloadtexture.
#include <type_traits>

#include "coretest.h"
#include "glboxes.h"

using namespace glprobe;
static_assert(std::is_same_v<decltype(guiloadtexture(std::string(), 0, 0, 0)), absent>,
              "the plug-in's instance has no guiloadtexture");

TEST_F(coretest, opengldrawstextandstops) {
  addgraphicbox("w.gl", 10, 10, 64, 64, "", 0);
  openplain("w");
  guistartopenGL("w.gl");
  glyphview(64, 64);
  gldrawtext("H");
  EXPECT_GT(litpixels(64, 64), 100);
  guiswapbuffers();
  guistopopenGL();
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
}
