// The command line of roomcaster_live: what it accepts, and that everything else
// is refused with a reason rather than run with a device nobody asked for.
#include <gtest/gtest.h>

#include <vector>

#include "app/live/liveoptions.h"

namespace {

bool parse(std::vector<const char *> args, LiveOptions &o, std::string &error) {
  args.insert(args.begin(), "roomcaster_live");
  return parseliveoptions(static_cast<int>(args.size()), args.data(), o, error);
}

TEST(LiveOptions, NothingGivenMeansDefaultDevicesUntilStopped) {
  LiveOptions o;
  std::string error;
  ASSERT_TRUE(parse({}, o, error));
  EXPECT_EQ(o.seconds, 0);
  EXPECT_EQ(o.wavein, -1);
  EXPECT_EQ(o.waveout, -1);
  EXPECT_TRUE(o.waveinname.empty());
  EXPECT_FALSE(o.list);
  EXPECT_EQ(o.buffersize, 0) << "0 keeps the engine's own start value";
}

TEST(LiveOptions, DevicesByNumberOrByName) {
  LiveOptions o;
  std::string error;
  ASSERT_TRUE(parse({"--wavein", "3", "--waveout", "Monitor of room", "--seconds", "8", "--buffersize", "1500"}, o, error)) << error;
  EXPECT_EQ(o.wavein, 3);
  EXPECT_TRUE(o.waveinname.empty());
  EXPECT_EQ(o.waveoutname, "Monitor of room");
  EXPECT_EQ(o.seconds, 8);
  EXPECT_EQ(o.buffersize, 1500);
  ASSERT_TRUE(parse({"--waveout", "x", "--waveout", "-1"}, o, error));
  EXPECT_TRUE(o.waveoutname.empty()) << "the last choice counts";
  EXPECT_EQ(o.waveout, -1);
}

TEST(LiveOptions, BadCommandLinesAreRefusedWithAReason) {
  const std::vector<std::vector<const char *>> bad = {
      {"--bogus"},          {"--seconds"},          {"--seconds", "0"},   {"--seconds", "2.5"},
      {"--seconds", "-3"},  {"--seconds", "1e9"},   {"--wavein", "-2"},   {"--waveout", "99999"},
      {"--wavein", ""},     {"--wavein"},           {"5"},
      {"--buffersize", "149"}, {"--buffersize", "16001"}};
  for (const auto &args : bad) {
    LiveOptions o;
    std::string error;
    EXPECT_FALSE(parse(args, o, error)) << args[0];
    EXPECT_FALSE(error.empty()) << args[0];
  }
}

}  // namespace
