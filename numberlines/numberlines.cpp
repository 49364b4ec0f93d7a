// numberlines.cpp: reading and writing files of one number per line.
// Runs on whichever thread loads or saves settings; never on the audio thread.
#include "numberlines/numberlines.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

NumberLines numberlinesof(std::string_view text) { return NumberLines{text, 0}; }

bool numberlinesatend(const NumberLines &lines) { return lines.at >= lines.text.size(); }

// The next line without its ending; the reader moves past the ending.
static std::string_view takeline(NumberLines &lines) {
  const std::string_view rest = lines.text.substr(lines.at);
  const size_t end = rest.find_first_of("\r\n");
  if (end == std::string_view::npos) {
    lines.at = lines.text.size();
    return rest;
  }
  size_t next = end + 1;
  if (rest[end] == '\r' && next < rest.size() && rest[next] == '\n') next++;
  lines.at += next;
  return rest.substr(0, end);
}

bool readnumberline(NumberLines &lines, double &value) {
  if (numberlinesatend(lines)) return false;
  value = numberlineconvert(takeline(lines));
  return true;
}

int32_t readintline(NumberLines &lines, int32_t def) {
  double value;
  return readnumberline(lines, value) ? numbertoint(value) : def;
}

float readrealline(NumberLines &lines, float def) {
  double value;
  return readnumberline(lines, value) ? numbertoreal(value) : def;
}

static bool isdigitchar(char c) { return c >= '0' && c <= '9'; }

double numberlineconvert(std::string_view line) {
  size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) i++;
  const size_t start = i;
  bool negative = false;
  if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
  const size_t intstart = i;
  while (i < line.size() && isdigitchar(line[i])) i++;
  const size_t intend = i;
  size_t fracstart = i, fracend = i;
  if (i < line.size() && line[i] == '.') {
    fracstart = fracend = ++i;
    while (fracend < line.size() && isdigitchar(line[fracend])) fracend++;
    i = fracend;
  }
  if (intend == intstart && fracend == fracstart) return 0.0;  // no digit: not a number
  // Exponent: only when at least one digit follows the letter (and its sign).
  long long exponent = 0;
  if (i < line.size() && (line[i] == 'e' || line[i] == 'E')) {
    size_t j = i + 1;
    bool expnegative = false;
    if (j < line.size() && (line[j] == '+' || line[j] == '-')) expnegative = line[j++] == '-';
    if (j < line.size() && isdigitchar(line[j])) {
      while (j < line.size() && isdigitchar(line[j])) {
        if (exponent < 100000000) exponent = exponent * 10 + (line[j] - '0');
        j++;
      }
      if (expnegative) exponent = -exponent;
      i = j;
    }
  }
  // from_chars takes no '+' sign; it is locale-independent and correctly rounded.
  const size_t numberstart = (line[start] == '+') ? start + 1 : start;
  double value = 0.0;
  const auto result = std::from_chars(line.data() + numberstart, line.data() + i, value,
                                      std::chars_format::general);
  if (result.ec == std::errc()) return value;
  if (result.ec != std::errc::result_out_of_range) return 0.0;
  // Out of range: overflow when the number has a positive decimal exponent,
  // underflow otherwise. Magnitude lies in [10^(e-1), 10^e).
  size_t firstdigit = intstart;
  while (firstdigit < intend && line[firstdigit] == '0') firstdigit++;
  long long decimalexponent;
  if (firstdigit < intend) {
    decimalexponent = exponent + static_cast<long long>(intend - firstdigit);
  } else {
    size_t zeros = 0;
    while (fracstart + zeros < fracend && line[fracstart + zeros] == '0') zeros++;
    decimalexponent = exponent - static_cast<long long>(zeros);
  }
  const double magnitude = decimalexponent > 0 ? DBL_MAX : 0.0;
  return negative ? -magnitude : magnitude;
}

// Nearest integer, halves to the even neighbour, whatever the rounding mode.
static double roundhalfeven(double value) {
  const double below = std::floor(value);
  const double fraction = value - below;
  if (fraction > 0.5) return below + 1.0;
  if (fraction < 0.5) return below;
  return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

int32_t numbertoint(double value) {
  if (std::isnan(value)) return 0;
  const double rounded = roundhalfeven(value);
  if (rounded >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (rounded <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(rounded);
}

float numbertoreal(double value) {
  if (std::isnan(value)) return 0.0f;
  if (value > FLT_MAX) return FLT_MAX;
  if (value < -FLT_MAX) return -FLT_MAX;
  return static_cast<float>(value);
}

void writeintline(std::string &out, int32_t value) {
  char text[16];
  const auto result = std::to_chars(text, text + sizeof text, value);
  if (value >= 0) out += ' ';
  out.append(text, result.ptr);
  out += "\r\n";
}

void writerealline(std::string &out, float value) {
  if (std::isnan(value) || value == 0.0f) {
    out += " 0\r\n";
    return;
  }
  if (std::isinf(value)) value = value > 0 ? FLT_MAX : -FLT_MAX;
  // As printf's "%.7g" in the C locale, whatever locale the process runs in.
  char text[32];
  const auto result =
      std::to_chars(text, text + sizeof text, static_cast<double>(value), std::chars_format::general, 7);
  if (value > 0) out += ' ';
  out.append(text, result.ptr);
  out += "\r\n";
}

bool loadnumberfile(const char *path, std::string &text) {
  text.clear();
  if (path == nullptr) return false;
  std::FILE *file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  char chunk[4096];
  size_t got;
  while (text.size() < numberfilelimit && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    text.append(chunk, got < numberfilelimit - text.size() ? got : numberfilelimit - text.size());
  }
  std::fclose(file);
  return true;
}

bool savenumberfile(const char *path, const std::string &text) {
  if (path == nullptr || *path == '\0') return false;
  const std::string temp = std::string(path) + ".tmp";
  std::FILE *file = std::fopen(temp.c_str(), "wb");
  if (file == nullptr) return false;
  bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  written = std::fflush(file) == 0 && written;
  written = std::fclose(file) == 0 && written;
  if (written) {
#if defined(_WIN32)
    // rename() refuses to replace an existing file on Windows.
    written = MoveFileExA(temp.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    written = std::rename(temp.c_str(), path) == 0;
#endif
  }
  if (!written) std::remove(temp.c_str());
  return written;
}
