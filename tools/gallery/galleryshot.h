// galleryshot: pictures in and out of the gallery.
//   writebmp(path, pixels, w, h)   24-bit BMP from 32-bit top-down pixels
//   shootwindow(hwnd, path)        what the screen shows of the window, as a BMP
//   shootwindow(hwnd, path, box, pixels)   the same with box's client area
//                                  replaced by pixels (top-down, its size)
// Both write to a temporary file and rename it over the target, so a failed
// write leaves no half-written picture. They return false on failure.
// Thread: user-interface thread.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

bool writebmp(const std::string &path, const std::vector<uint32_t> &pixels, int width,
              int height);
bool shootwindow(HWND window, const std::string &path, HWND box = 0,
                 const std::vector<uint32_t> *boxpixels = 0);
