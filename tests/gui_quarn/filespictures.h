// filespictures: picture files written by hand for the image tests, so their
// input does not come from the library under test. Pixels are 0xRRGGBB, rows
// top-down.
//   writebmp(path, w, h, pixels);  // 24-bit, rows stored bottom-up
#pragma once
#include <windows.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

inline void writefile(const std::string &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), (std::streamsize)bytes.size());
}

inline void writebmp(const std::string &path, int w, int h, const std::vector<uint32_t> &px) {
  std::string out = "BM";
  auto put = [&out](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; i++) out += (char)((v >> (8 * i)) & 255);
  };
  int rowbytes = (w * 3 + 3) & ~3;
  for (uint32_t v : {54u + rowbytes * h, 0u, 54u, 40u, (uint32_t)w, (uint32_t)h}) put(v, 4);
  put(1, 2);   // planes
  put(24, 2);  // bits per pixel
  for (int i = 0; i < 6; i++) put(0, 4);
  for (int y = h - 1; y >= 0; y--) {
    for (int x = 0; x < w; x++) put(px[y * w + x], 3);  // blue, green, red
    put(0, rowbytes - w * 3);
  }
  writefile(path, out);
}

inline std::string temppicture(const std::string &name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  return std::string(temp) + "quarn" + std::to_string(GetCurrentProcessId()) + name;
}
