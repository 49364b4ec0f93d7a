// guiimagebuffer: off-screen images (graphic boxes, the drawing buffer), their
// pixels, and the bisection that measures pictures.
// Thread: user-interface thread only.
#include "gui_quarn/guiimage.h"

#include <new>

imagebuffer *createimage(int width, int height, uint32_t fill) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  // A side beyond any screen is a caller's mistake: no image rather than an
  // allocation that could take the whole memory.
  if (width > imagesidemax || height > imagesidemax) return 0;
  imagebuffer *image = new (std::nothrow) imagebuffer;
  if (!image) return 0;
  try {
    image->pixels.assign((size_t)width * (size_t)height, fill);
  } catch (const std::bad_alloc &) {
    delete image;
    return 0;
  }
  image->width = width;
  image->height = height;
  return image;
}

void destroyimage(imagebuffer *image) { delete image; }

static bool holds(const imagebuffer *image, int x, int y) {
  return image && x >= 0 && y >= 0 && x < image->width && y < image->height;
}

void setimagepixel(imagebuffer *image, int x, int y, uint32_t pixel) {
  if (holds(image, x, y)) image->pixels[(size_t)y * image->width + x] = pixel;
}

uint32_t getimagepixel(const imagebuffer *image, int x, int y) {
  if (!holds(image, x, y)) return 0xFFFFFFFFu;
  return image->pixels[(size_t)y * image->width + x];
}

// Overwrites `into` with `from`, its top-left corner at (x, y); whatever falls
// outside `into` is dropped.
void copyimage(imagebuffer *into, const imagebuffer *from, int x, int y) {
  if (!into || !from) return;
  int x0 = x < 0 ? -x : 0;
  int y0 = y < 0 ? -y : 0;
  int x1 = from->width;
  int y1 = from->height;
  if ((long long)x + x1 > into->width) x1 = into->width - x;
  if ((long long)y + y1 > into->height) y1 = into->height - y;
  for (int row = y0; row < y1; row++) {
    const uint32_t *src = &from->pixels[(size_t)row * from->width];
    uint32_t *dst = &into->pixels[(size_t)(row + y) * into->width];
    for (int col = x0; col < x1; col++) dst[col + x] = src[col];
  }
}

// Smallest position in 1..high that is outside, found by halving; `high` when
// every probe is inside, 1 when nothing is.
int measurebisect(int high, bool (*inside)(const void *what, int at), const void *what) {
  int low = 0;
  while (high - low > 1) {
    int mid = (low + high) / 2;
    if (!inside(what, mid))
      high = mid;
    else
      low = mid;
  }
  return high == 0 ? 1 : high;
}

// An image is probed by position, not by the value read back: a white opaque
// pixel reads as 0xFFFFFFFF, the same word as "outside", and must not shorten
// the measured size.
int measureimagewidth(const imagebuffer *image) {
  return measurebisect(
      8000, [](const void *im, int at) { return holds((const imagebuffer *)im, at, 0); }, image);
}

int measureimageheight(const imagebuffer *image) {
  return measurebisect(
      2000, [](const void *im, int at) { return holds((const imagebuffer *)im, 0, at); }, image);
}

// A bitmap in a drawing context answers CLR_INVALID for a pixel outside it;
// inside, the top byte of the answer is always 0, so no colour is mistaken.
int measurebitmapwidth(HDC dc) {
  return measurebisect(
      8000, [](const void *d, int at) { return GetPixel((HDC)d, at, 0) != CLR_INVALID; }, dc);
}

int measurebitmapheight(HDC dc) {
  return measurebisect(
      2000, [](const void *d, int at) { return GetPixel((HDC)d, 0, at) != CLR_INVALID; }, dc);
}

void keypixels(uint32_t *pixels, size_t n, uint32_t key, uint32_t colour, int mode) {
  if (mode == 0 && key != 255) {
    long long limit = 3LL * key;
    for (size_t i = 0; i < n; i++) {
      uint32_t p = pixels[i];
      long long sum = (long long)((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255);
      if (sum > limit) pixels[i] = colour;
    }
  } else if (mode == 1) {
    for (size_t i = 0; i < n; i++)
      if (pixels[i] == key) pixels[i] = colour;
  }
}
