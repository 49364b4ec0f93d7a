// galleryshot: BMP files for the gallery's picture controls and its screenshot.
// Thread: user-interface thread.
#include "tools/gallery/galleryshot.h"

#include <cstdio>

bool writebmp(const std::string &path, const std::vector<uint32_t> &pixels, int width,
              int height) {
  if (width <= 0 || height <= 0 || pixels.size() < (size_t)width * height) return false;
  int rowbytes = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + (DWORD)rowbytes * height;
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // rows bottom-up, as BMP readers expect most
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;

  std::string temp = path + ".part";
  FILE *f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(&file, sizeof file, 1, f) == 1 && std::fwrite(&info, sizeof info, 1, f) == 1;
  std::vector<unsigned char> row(rowbytes, 0);
  for (int y = height - 1; ok && y >= 0; y--) {
    for (int x = 0; x < width; x++) {
      uint32_t p = pixels[(size_t)y * width + x];
      row[x * 3 + 0] = (unsigned char)(p & 0xFF);          // blue
      row[x * 3 + 1] = (unsigned char)((p >> 8) & 0xFF);   // green
      row[x * 3 + 2] = (unsigned char)((p >> 16) & 0xFF);  // red
    }
    ok = std::fwrite(row.data(), 1, row.size(), f) == row.size();
  }
  ok = (std::fclose(f) == 0) && ok;
  if (!ok || !MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileA(temp.c_str());
    return false;
  }
  return true;
}

// Lays the box's own pixels over its client area in the window's picture.
static void overlay(std::vector<uint32_t> &pixels, int width, int height, const RECT &window,
                    HWND box, const std::vector<uint32_t> &boxpixels) {
  RECT client;
  if (!GetClientRect(box, &client)) return;
  POINT origin = {0, 0};
  ClientToScreen(box, &origin);
  int bw = client.right, bh = client.bottom;
  if (boxpixels.size() < (size_t)bw * bh) return;
  for (int y = 0; y < bh; y++)
    for (int x = 0; x < bw; x++) {
      int px = origin.x - window.left + x, py = origin.y - window.top + y;
      if (px >= 0 && py >= 0 && px < width && py < height)
        pixels[(size_t)py * width + px] = boxpixels[(size_t)y * bw + x];
    }
}

bool shootwindow(HWND window, const std::string &path, HWND box,
                 const std::vector<uint32_t> *boxpixels) {
  RECT r;
  if (!GetWindowRect(window, &r)) return false;
  int width = r.right - r.left;
  int height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;

  HDC screen = GetDC(0);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP shot = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, shot);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> pixels((size_t)width * height);
  int rows = GetDIBits(memory, shot, 0, height, pixels.data(), &info, DIB_RGB_COLORS);

  DeleteObject(shot);
  DeleteDC(memory);
  ReleaseDC(0, screen);
  if (box && boxpixels) overlay(pixels, width, height, r, box, *boxpixels);
  return rows == height && writebmp(path, pixels, width, height);
}
