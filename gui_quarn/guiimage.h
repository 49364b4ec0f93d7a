// guiimage: image buffers, and bitmaps and pictures loaded from files.
//
//   imagebuffer *im = createimage(w, h, 0xFF000000);  // rows top-down, filled
//   setimagepixel(im, x, y, 0xFF00FF00);               // outside: nothing happens
//   uint32_t p = getimagepixel(im, x, y);              // outside: 0xFFFFFFFF (-1)
//   copyimage(into, im, x, y);                          // plain overwrite, clipped
//   destroyimage(im);                                   // 0 is fine
//
//   HBITMAP b = guiloadbmpdib("pic.bmp");   // .bmp as a DIB section, both instances
//   HBITMAP b = guiloadimage("pic.png");    // any picture format, main instance only
//   guidrawimage(im, "pic.png", key, colour, mode);     // main instance only
//   guistretchimage(im, "pic.png", key, colour, mode);  // main instance only
//
// Pixels are 32-bit words: blue in the low byte, then green, red, and a top byte.
// Colour keying in guidrawimage / guistretchimage:
//   mode 0: key 0..254 is a brightness; every pixel with red + green + blue above
//           3 * key becomes colour (key 255 keys nothing);
//   mode 1: every pixel whose whole 32-bit value equals key becomes colour.
//
// Thread: user-interface thread only. Missing files are silent (result 0);
// a file that exists but cannot be read gives a notice naming it.
#pragma once
#include "gui_quarn/guitables.h"

#include <cstdint>
#include <string>

// Largest image side createimage accepts; larger requests give 0 (no image).
constexpr int imagesidemax = 16384;

imagebuffer *createimage(int width, int height, uint32_t fill);
void destroyimage(imagebuffer *image);
void copyimage(imagebuffer *into, const imagebuffer *from, int x, int y);
void setimagepixel(imagebuffer *image, int x, int y, uint32_t pixel);
uint32_t getimagepixel(const imagebuffer *image, int x, int y);

// Size by bisection, as pictures are measured: widths probe row 0 up to 8000,
// heights column 0 up to 2000, so larger sides read as 8000 and 2000; never 0.
// `inside` says whether a pixel position lies in the picture.
int measurebisect(int high, bool (*inside)(const void *what, int at), const void *what);
int measureimagewidth(const imagebuffer *image);
int measureimageheight(const imagebuffer *image);
int measurebitmapwidth(HDC dc);   // the bitmap selected into dc
int measurebitmapheight(HDC dc);

HBITMAP guiloadbmpdib(const std::string &file);

#if !QUARN_GUI_PLUGIN
HBITMAP guiloadimage(const std::string &file);
int guidrawimage(imagebuffer *into, const std::string &file, uint32_t key, uint32_t colour, int mode);
int guistretchimage(imagebuffer *into, const std::string &file, uint32_t key, uint32_t colour, int mode);
#endif

// The colour-keying step of guidrawimage alone, over n pixels.
void keypixels(uint32_t *pixels, size_t n, uint32_t key, uint32_t colour, int mode);
