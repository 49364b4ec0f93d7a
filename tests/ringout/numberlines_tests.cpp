// The number-per-line format: conversion of a line, line endings and the end
// of the file, exact formatting on writing, and replacing a file whole.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>

#include "app/numberlines.h"

namespace {

constexpr int32_t intmax = std::numeric_limits<int32_t>::max();
constexpr int32_t intmin = std::numeric_limits<int32_t>::min();

std::string lineof(int32_t value) {
  std::string out;
  writeintline(out, value);
  return out;
}

std::string lineof(float value) {
  std::string out;
  writerealline(out, value);
  return out;
}

TEST(NumberLineConversion, TakesTheLongestDecimalPrefix) {
  EXPECT_EQ(numberlineconvert("  12abc"), 12.0);
  EXPECT_EQ(numberlineconvert("\t7"), 7.0);
  EXPECT_EQ(numberlineconvert("+7"), 7.0);
  EXPECT_EQ(numberlineconvert("-.5"), -0.5);
  EXPECT_EQ(numberlineconvert("5."), 5.0);
  EXPECT_EQ(numberlineconvert("1.5e-2x"), 0.015);
  EXPECT_EQ(numberlineconvert("2E3"), 2000.0);
  EXPECT_EQ(numberlineconvert("1e"), 1.0);     // an exponent needs digits
  EXPECT_EQ(numberlineconvert("1e+"), 1.0);
  EXPECT_EQ(numberlineconvert("3,75"), 3.0);   // a comma ends the number
  EXPECT_EQ(numberlineconvert("0x1A"), 0.0);   // no hexadecimal
}

TEST(NumberLineConversion, LinesWithoutANumberReadAsZero) {
  EXPECT_EQ(numberlineconvert(""), 0.0);
  EXPECT_EQ(numberlineconvert("   "), 0.0);
  EXPECT_EQ(numberlineconvert("volume"), 0.0);
  EXPECT_EQ(numberlineconvert("- 5"), 0.0);
  EXPECT_EQ(numberlineconvert("."), 0.0);
  EXPECT_EQ(numberlineconvert("-"), 0.0);
  EXPECT_EQ(numberlineconvert("inf"), 0.0);
  EXPECT_EQ(numberlineconvert("nan"), 0.0);
}

TEST(NumberLineConversion, IntegersTakeTheNearestHalvesToEven) {
  EXPECT_EQ(numbertoint(numberlineconvert("2.5")), 2);
  EXPECT_EQ(numbertoint(numberlineconvert("3.5")), 4);
  EXPECT_EQ(numbertoint(numberlineconvert("-2.5")), -2);
  EXPECT_EQ(numbertoint(numberlineconvert("-3.5")), -4);
  EXPECT_EQ(numbertoint(numberlineconvert("2.51")), 3);
  EXPECT_EQ(numbertoint(numberlineconvert("-0.4")), 0);
}

TEST(NumberLineConversion, HugeNumbersSaturateInsteadOfBreaking) {
  EXPECT_EQ(numbertoint(numberlineconvert("1e20")), intmax);
  EXPECT_EQ(numbertoint(numberlineconvert("-1e20")), intmin);
  EXPECT_EQ(numbertoint(numberlineconvert("2147483647.5")), intmax);
  EXPECT_EQ(numbertoint(numberlineconvert("-2147483648")), intmin);
  EXPECT_EQ(numbertoint(numberlineconvert("1e99999999999999")), intmax);
  EXPECT_EQ(numbertoreal(numberlineconvert("1e39")), FLT_MAX);
  EXPECT_EQ(numbertoreal(numberlineconvert("-1e999")), -FLT_MAX);
  EXPECT_EQ(numbertoreal(numberlineconvert("1e-999")), 0.0f);
  EXPECT_EQ(numbertoreal(numberlineconvert("0.0000000000000000000000000000000000000000000000001e-400")), 0.0f);
  EXPECT_EQ(numbertoreal(numberlineconvert("0.77")), 0.77f);
}

TEST(NumberLineReading, EndingsAndTheEndOfTheText) {
  NumberLines lines = numberlinesof("1\r\n2\n3\r4");
  EXPECT_EQ(readintline(lines, -9), 1);
  EXPECT_EQ(readintline(lines, -9), 2);
  EXPECT_EQ(readintline(lines, -9), 3);
  EXPECT_FALSE(numberlinesatend(lines));
  EXPECT_EQ(readintline(lines, -9), 4);  // a last line without an ending counts
  EXPECT_TRUE(numberlinesatend(lines));
  EXPECT_EQ(readintline(lines, -9), -9);
  EXPECT_EQ(readrealline(lines, 0.5f), 0.5f);
}

TEST(NumberLineReading, BlankLinesAreZeroButMissingLinesKeepTheDefault) {
  NumberLines empty = numberlinesof("");
  EXPECT_TRUE(numberlinesatend(empty));
  EXPECT_EQ(readintline(empty, 400), 400);

  NumberLines blank = numberlinesof("\r\n\r\n");
  EXPECT_EQ(readintline(blank, 400), 0);
  EXPECT_EQ(readrealline(blank, 1.0f), 0.0f);
  EXPECT_TRUE(numberlinesatend(blank));  // a final ending opens no further line
  EXPECT_EQ(readintline(blank, 400), 400);
}

TEST(NumberLineWriting, IntegersAsPercentSpaceD) {
  EXPECT_EQ(lineof(0), " 0\r\n");
  EXPECT_EQ(lineof(400), " 400\r\n");
  EXPECT_EQ(lineof(-1), "-1\r\n");
  EXPECT_EQ(lineof(intmin), "-2147483648\r\n");
}

TEST(NumberLineWriting, RealsWithSevenSignificantDigits) {
  EXPECT_EQ(lineof(1.0f), " 1\r\n");
  EXPECT_EQ(lineof(0.77f), " 0.77\r\n");
  EXPECT_EQ(lineof(-1.5f), "-1.5\r\n");
  EXPECT_EQ(lineof(100.0f), " 100\r\n");
  EXPECT_EQ(lineof(0.001f), " 0.001\r\n");
  EXPECT_EQ(lineof(1234567.8f), " 1234568\r\n");
  EXPECT_EQ(lineof(12345678.0f), " 1.234568e+07\r\n");
  EXPECT_EQ(lineof(0.000015f), " 1.5e-05\r\n");
  EXPECT_EQ(lineof(0.0f), " 0\r\n");
  EXPECT_EQ(lineof(-0.0f), " 0\r\n");
}

TEST(NumberLineWriting, NonFiniteRealsAreWrittenAsReadableNumbers) {
  EXPECT_EQ(lineof(std::numeric_limits<float>::infinity()), " 3.402823e+38\r\n");
  EXPECT_EQ(lineof(-std::numeric_limits<float>::infinity()), "-3.402823e+38\r\n");
  EXPECT_EQ(lineof(std::numeric_limits<float>::quiet_NaN()), " 0\r\n");
  const std::string written = lineof(std::numeric_limits<float>::infinity());
  NumberLines back = numberlinesof(written);
  EXPECT_TRUE(std::isfinite(readrealline(back, 0.0f)));
}

TEST(NumberLineWriting, WrittenValuesReadBackToSevenDigits) {
  const float reals[] = {1.0f, 0.77f, -1.5f, 3.14159265f, 1e-20f, -7.654321e25f, 44100.0f,
                         0.1f, 2.0f / 3.0f, FLT_MAX, -FLT_MIN};
  const int32_t ints[] = {0, 1, -1, 16000, intmax, intmin};
  std::string text;
  for (float v : reals) writerealline(text, v);
  for (int32_t v : ints) writeintline(text, v);
  NumberLines lines = numberlinesof(text);
  for (float v : reals) {
    const float back = readrealline(lines, 12345.0f);
    EXPECT_LE(std::fabs(static_cast<double>(back) - v), 5e-7 * std::fabs(v)) << v;
  }
  for (int32_t v : ints) EXPECT_EQ(readintline(lines, 12345), v);
  EXPECT_TRUE(numberlinesatend(lines));
}

class NumberFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("numberlines_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::string at(const char *name) const { return (folder / name).string(); }
  std::filesystem::path folder;
};

TEST_F(NumberFileTest, SavedTextLoadsBackAndReplacesTheOldFile) {
  const std::string path = at("settings.ini");
  ASSERT_TRUE(savenumberfile(path.c_str(), " 1\r\n 2\r\n 3\r\n"));
  ASSERT_TRUE(savenumberfile(path.c_str(), "-5\r\n"));
  std::string text;
  ASSERT_TRUE(loadnumberfile(path.c_str(), text));
  EXPECT_EQ(text, "-5\r\n");
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST_F(NumberFileTest, AMissingFileLoadsAsNothing) {
  std::string text = "stale";
  EXPECT_FALSE(loadnumberfile(at("none.ini").c_str(), text));
  EXPECT_TRUE(text.empty());
}

TEST_F(NumberFileTest, AFailedSaveLeavesNoTraceAndReportsIt) {
  // The target is a directory: the finished temp file cannot take its place.
  const std::string path = at("adirectory");
  std::filesystem::create_directory(path);
  EXPECT_FALSE(savenumberfile(path.c_str(), " 1\r\n"));
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
  // A folder that does not exist: nothing can be created.
  EXPECT_FALSE(savenumberfile(at("no/such/folder/file.ini").c_str(), " 1\r\n"));
}

}  // namespace
