// The number-per-line format: converting a line, exact formatting on writing,
// and replacing a file whole (line endings and the end of the text are read
// through ringout.ini in tests/ringout/ringoutsettings_test.cpp).
#include <gtest/gtest.h>

#include <cfloat>
#include <filesystem>
#include <limits>
#include <string>

#include "numberlines/numberlines.h"

namespace {

constexpr int32_t intmax = std::numeric_limits<int32_t>::max();
constexpr float inf = std::numeric_limits<float>::infinity();

TEST(NumberLineConversion, LongestDecimalPrefixOrZero) {
  const struct { const char *line; double value; } cases[] = {
      {"  12abc", 12}, {"\t+7", 7}, {"-.5", -0.5}, {"5.", 5}, {"1.5e-2x", 0.015}, {"2E3", 2000},
      {"1e+", 1}, {"3,75", 3}, {"0x1A", 0}, {"", 0}, {"volume", 0}, {"- 5", 0}, {".", 0}, {"inf", 0}};
  for (const auto &c : cases) EXPECT_EQ(numberlineconvert(c.line), c.value) << c.line;
}

TEST(NumberLineConversion, NearestIntegerHalvesToEvenAndSaturation) {
  const struct { const char *line; int32_t value; } ints[] = {
      {"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"-3.5", -4}, {"2.51", 3}, {"1e20", intmax},
      {"-1e20", std::numeric_limits<int32_t>::min()}, {"2147483647.5", intmax}, {"1e99999999999999", intmax}};
  for (const auto &c : ints) EXPECT_EQ(numbertoint(numberlineconvert(c.line)), c.value) << c.line;
  // A real too large for a float is the largest float, never an infinity.
  EXPECT_EQ(numbertoreal(numberlineconvert("1e39")), FLT_MAX);
  EXPECT_EQ(numbertoreal(numberlineconvert("-1e999")), -FLT_MAX);
  EXPECT_EQ(numbertoreal(numberlineconvert("1e-999")), 0.0f);
  EXPECT_EQ(numbertoreal(numberlineconvert("0.77")), 0.77f);
}

TEST(NumberLineWriting, ExactFormatsAndReadableNonFiniteValues) {
  std::string out;
  for (int32_t v : {0, 400, -1}) writeintline(out, v);
  for (float v : {1.0f, 0.77f, -1.5f, 100.0f, 1234567.8f, 12345678.0f, 0.000015f, -0.0f, inf, -inf,
                  std::numeric_limits<float>::quiet_NaN()})
    writerealline(out, v);
  EXPECT_EQ(out, " 0\r\n 400\r\n-1\r\n 1\r\n 0.77\r\n-1.5\r\n 100\r\n 1234568\r\n 1.234568e+07\r\n 1.5e-05\r\n"
                 " 0\r\n 3.402823e+38\r\n-3.402823e+38\r\n 0\r\n");
}

TEST(NumberFile, ReplacedWholeOrNotAtAll) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "numberlines_file_test";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / "adirectory");
  const std::string path = (folder / "settings.ini").string();
  std::string text = "stale";
  EXPECT_FALSE(loadnumberfile(path.c_str(), text));
  EXPECT_TRUE(text.empty());
  ASSERT_TRUE(savenumberfile(path.c_str(), " 1\r\n 2\r\n"));
  ASSERT_TRUE(savenumberfile(path.c_str(), "-5\r\n"));
  ASSERT_TRUE(loadnumberfile(path.c_str(), text));
  EXPECT_EQ(text, "-5\r\n");
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
  // The finished temp file cannot take a directory's place: reported, and no trace left.
  const std::string blocked = (folder / "adirectory").string();
  EXPECT_FALSE(savenumberfile(blocked.c_str(), " 1\r\n"));
  EXPECT_TRUE(std::filesystem::is_directory(blocked));
  EXPECT_FALSE(std::filesystem::exists(blocked + ".tmp"));
  std::filesystem::remove_all(folder);
}

}  // namespace
