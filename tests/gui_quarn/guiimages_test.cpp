// Image buffers, pictures read from files with colour keying, and a graphic
// box's picture on screen.
#include "tests/gui_quarn/coretest.h"
#include "tests/gui_quarn/filespictures.h"

static const uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF,
                      black = 0x000000, grey600 = 0xC8C8C8;  // 200 + 200 + 200

static uint32_t rgbof(const imagebuffer *im, int x, int y) {
  return getimagepixel(im, x, y) & 0xFFFFFF;
}

TEST(FilesImageBuffer, CopyOverwritesAndClipsAtEveryEdge) {
  imagebuffer *into = createimage(4, 4, 1), *from = createimage(2, 2, 7);
  setimagepixel(from, 0, 0, 5);
  setimagepixel(from, 2, 0, 5);  // outside: dropped
  copyimage(into, from, 3, -1);  // only from(0,1) lands, at (3,0)
  copyimage(into, from, -1, 3);  // only from(1,0) lands, at (0,3)
  copyimage(into, from, 1, 1);
  EXPECT_EQ(into->pixels, (std::vector<uint32_t>{1, 1, 1, 7, 1, 5, 7, 1, 1, 7, 7, 1, 7, 1, 1, 1}));
  EXPECT_EQ(getimagepixel(into, 4, 0), 0xFFFFFFFFu) << "outside reads as -1";
  EXPECT_EQ(createimage(100000, 100000, 0), nullptr) << "no image rather than no memory";
  destroyimage(into);
  destroyimage(from);
}

TEST(FilesImageBuffer, BisectionMeasuresTheSizeUpToItsLimits) {
  imagebuffer *im = createimage(37, 11, 0xFFFFFFFFu);  // opaque white also reads as -1
  EXPECT_EQ((std::vector<int>{measureimagewidth(im), measureimageheight(im)}),
            (std::vector<int>{37, 11}));
  destroyimage(im);
  im = createimage(9000, 2500, 0);
  EXPECT_EQ((std::vector<int>{measureimagewidth(im), measureimageheight(im)}),
            (std::vector<int>{8000, 2000}));
  destroyimage(im);
}

struct FilesPictures : CoreTest {
  std::vector<uint32_t> pattern = {red, green, blue, white, black, grey600};  // 3 x 2
  std::string bmp = temppicture("pattern.bmp"), wide = temppicture("wide.bmp");
  std::string junk = temppicture("junk.png");
  void SetUp() override {
    CoreTest::SetUp();
    writebmp(bmp, 3, 2, pattern);
    writebmp(wide, 2, 1, {red, white});
    writefile(junk, "this is no picture at all");
  }
};

TEST_F(FilesPictures, PicturesAreDrawnTopLeftAtTheirOwnSizeAndKeyed) {
  imagebuffer *im = createimage(4, 3, 0x11111111u);
  EXPECT_EQ(guidrawimage(im, bmp, 255, 0xFFABCDEFu, 0), 0);  // key 255 keys nothing
  for (int i = 0; i < 6; i++) EXPECT_EQ(rgbof(im, i % 3, i / 3), pattern[i]) << i;
  EXPECT_EQ(getimagepixel(im, 3, 0), 0x11111111u) << "beyond the picture: untouched";

  guidrawimage(im, bmp, 200, 0xFFABCDEFu, 0);
  EXPECT_EQ(getimagepixel(im, 0, 1), 0xFFABCDEFu) << "white: 765 > 3 x 200";
  EXPECT_EQ(rgbof(im, 2, 1), grey600) << "600 is not above 600";
  EXPECT_EQ(rgbof(im, 0, 0), red);
  uint32_t asread = getimagepixel(im, 1, 0);  // green, with whatever top byte loading gave
  guidrawimage(im, bmp, asread, 0xFF123456u, 1);
  EXPECT_EQ(getimagepixel(im, 1, 0), 0xFF123456u);
  EXPECT_EQ(rgbof(im, 1, 1), black);
  destroyimage(im);
}

TEST_F(FilesPictures, MissingFilesAreSilentAndUnreadableOnesNamed) {
  EXPECT_EQ(guiloadimage(temppicture("missing.png")), nullptr);
  EXPECT_TRUE(boxes.seen().empty());
  EXPECT_EQ(guiloadbmpdib(junk), nullptr);
  EXPECT_EQ(guiloadimage(junk), nullptr);
  EXPECT_EQ(boxes.seen(), (std::vector<seenbox>{{"guiloadbmpdib", "erreur loadbmp :" + junk},
                                                {"guiloadimage", "erreur loadimage :" + junk}}));
}

TEST_F(FilesPictures, AStretchedPictureShowsInItsGraphicBoxAfterRedrawControl) {
  addgraphicbox("w.box", 20, 30, 30, 20, "gfx", 0);
  openplain("w");
  pump();
  guistretchimage(getgraphicbox("w.box"), wide, 200, 0xFF0000FFu, 0);  // white becomes blue
  redrawcontrol("w.box");
  pump();
  HDC dc = GetDC(gethandle("w"));
  EXPECT_EQ(GetPixel(dc, 21, 31), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 34, 48), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 35, 31), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, 48, 48), RGB(0, 0, 255));
  ReleaseDC(gethandle("w"), dc);
}
