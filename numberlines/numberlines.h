// numberlines.h: files of one number per line (the settings file, the preset
// files, ringout.ini).
//
//   std::string text;                      // reading:
//   loadnumberfile(path, text);            // false: no file (text stays empty)
//   NumberLines lines = numberlinesof(text);
//   int32_t x = readintline(lines, 10);    // default when the file has ended
//   float g = readrealline(lines, 1.0f);
//   if (!numberlinesatend(lines)) ...      // "when the line was present"
//   std::string out;                       // writing:
//   writeintline(out, -1);                 // "-1\r\n"
//   writerealline(out, 0.77f);             // " 0.77\r\n"
//   savenumberfile(path, out);             // temp file, then rename over
//
// A value's meaning is its line; a missing line means "keep the default".
// Portable; never called from the audio thread.
//
// Floors: the bottom one, beside the toolkit gui_quarn. The application (its
// settings and presets) and the plug-ins (their .ini files) use it; it uses
// nothing but the standard library.
//
// A line is converted by skipping leading spaces and taking the longest
// prefix that forms a decimal number (sign, digits, point, digits, exponent);
// a line without one (letters, blank) reads as 0. Integers take the nearest
// integer, halves to even; reals are rounded to 32-bit float. A number too big
// for its type becomes the largest value of that type and sign, so a damaged
// file never yields an infinity.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A reader over text in memory. Lines end with LF, CR LF or a lone CR; a last
// line without an ending still counts. The reader is at its end once every
// line has been taken (an empty text is at its end at once). The reader only
// views the text: keep the text alive while reading.
struct NumberLines {
  std::string_view text;  // the whole file
  size_t at;              // offset of the next line
};

NumberLines numberlinesof(std::string_view text);
bool numberlinesatend(const NumberLines &lines);

// Takes the next line and converts it; false (value untouched) at the end.
bool readnumberline(NumberLines &lines, double &value);
// The next line as an integer or a real, or `def` when the text has ended.
int32_t readintline(NumberLines &lines, int32_t def);
float readrealline(NumberLines &lines, float def);

// The conversion of one line (without its ending) to a number.
double numberlineconvert(std::string_view line);
// Nearest integer, halves to even, saturated to the 32-bit range.
int32_t numbertoint(double value);
// Rounded to float; beyond the float range: the largest float of that sign.
float numbertoreal(double value);

// Appends one line: "% d", or "%.7g" with a leading space when not negative,
// each followed by CR LF. A zero real is written " 0" whatever its sign; an
// infinite real is written as the largest float of its sign, NaN as " 0", so
// every written line reads back as a finite number.
void writeintline(std::string &out, int32_t value);
void writerealline(std::string &out, float value);

// Reads a whole file into text (at most numberfilelimit bytes, the rest is
// ignored). False when the file cannot be opened; text is then empty.
constexpr size_t numberfilelimit = 64u << 20;
bool loadnumberfile(const char *path, std::string &text);
// Writes text to path + ".tmp" and renames it over path, so the old file is
// either kept whole or replaced whole. False (old file untouched) on failure.
bool savenumberfile(const char *path, const std::string &text);
