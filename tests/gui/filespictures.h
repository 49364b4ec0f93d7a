// filespictures: picture files written by hand for the image tests, so their
// input does not come from the library under test. Pixels are 0xRRGGBB, rows
// top-down.
//   writebmp(path, w, h, pixels);  // 24-bit, rows stored bottom-up
//   writepng(path, w, h, pixels);  // 8-bit RGB, one stored (uncompressed) deflate block
#pragma once
#include <windows.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

inline void putle(std::string &out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; i++) out += (char)((v >> (8 * i)) & 255);
}
inline void putbe(std::string &out, uint32_t v) {
  for (int i = 3; i >= 0; i--) out += (char)((v >> (8 * i)) & 255);
}
inline void writefile(const std::string &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), (std::streamsize)bytes.size());
}

inline void writebmp(const std::string &path, int w, int h, const std::vector<uint32_t> &px) {
  int rowbytes = (w * 3 + 3) & ~3;
  std::string out = "BM";
  for (uint32_t v : {54u + rowbytes * h, 0u, 54u, 40u, (uint32_t)w, (uint32_t)h}) putle(out, v, 4);
  putle(out, 1, 2);   // planes
  putle(out, 24, 2);  // bits per pixel
  for (int i = 0; i < 6; i++) putle(out, 0, 4);
  for (int y = h - 1; y >= 0; y--) {
    std::string row;
    for (int x = 0; x < w; x++) putle(row, px[y * w + x], 3);  // blue, green, red
    row.resize(rowbytes, 0);
    out += row;
  }
  writefile(path, out);
}

inline void pngchunk(std::string &out, const std::string &type, const std::string &data) {
  putbe(out, (uint32_t)data.size());
  uint32_t c = 0xFFFFFFFFu;
  for (unsigned char b : type + data) {
    c ^= b;
    for (int k = 0; k < 8; k++) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  out += type + data;
  putbe(out, ~c);
}

inline void writepng(const std::string &path, int w, int h, const std::vector<uint32_t> &px) {
  std::string raw;  // small pictures only: one stored block holds 65535 bytes
  for (int y = 0; y < h; y++) {
    raw += '\0';  // row filter: none
    for (int x = 0; x < w; x++)
      for (int shift : {16, 8, 0}) raw += (char)((px[y * w + x] >> shift) & 255);
  }
  std::string z = "\x78\x01\x01";
  putle(z, (uint32_t)raw.size(), 2);
  putle(z, (uint32_t)~raw.size() & 0xFFFF, 2);
  z += raw;
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) b = (b + (a = (a + c) % 65521)) % 65521;
  putbe(z, (b << 16) | a);
  std::string header;
  putbe(header, w);
  putbe(header, h);
  header += std::string("\x08\x02\x00\x00\x00", 5);
  std::string out = "\x89PNG\r\n\x1a\n";
  pngchunk(out, "IHDR", header);
  pngchunk(out, "IDAT", z);
  pngchunk(out, "IEND", "");
  writefile(path, out);
}

inline std::string temppicture(const std::string &name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  return std::string(temp) + "quarn" + std::to_string(GetCurrentProcessId()) + name;
}
