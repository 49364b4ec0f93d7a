// roomcaster_live's command line: devices by number or name; anything else is
// refused with a reason rather than run on a device nobody asked for.
#include <gtest/gtest.h>

#include <vector>

#include "app/live/liveoptions.h"

static bool parse(std::vector<const char *> args, LiveOptions &o, std::string &error) {
  args.insert(args.begin(), "roomcaster_live");
  return parseliveoptions(static_cast<int>(args.size()), args.data(), o, error);
}

TEST(LiveOptions, DevicesByNumberOrNameAndBadLinesRefused) {
  LiveOptions o;
  std::string error;
  ASSERT_TRUE(parse({}, o, error));
  EXPECT_EQ(o.wavein, -1);
  EXPECT_EQ(o.buffersize, 0) << "0 keeps the engine's start value";
  EXPECT_FALSE(o.quiet);
  ASSERT_TRUE(parse({"--quiet", "--seconds", "5"}, o, error));
  EXPECT_TRUE(o.quiet);
  EXPECT_EQ(o.seconds, 5);
  ASSERT_TRUE(parse({"--wavein", "3", "--waveout", "Monitor of room", "--buffersize", "1500"}, o, error));
  EXPECT_EQ(o.wavein, 3);
  EXPECT_EQ(o.waveoutname, "Monitor of room");
  ASSERT_TRUE(parse({"--waveout", "x", "--waveout", "-1"}, o, error));
  EXPECT_TRUE(o.waveoutname.empty()) << "the last choice counts";

  const std::vector<std::vector<const char *>> bad = {
      {"--bogus"}, {"--seconds"}, {"--seconds", "0"}, {"--seconds", "2.5"}, {"--wavein", "-2"},
      {"--wavein", ""}, {"--buffersize", "149"}, {"--buffersize", "16001"}, {"5"},
      {"--quite"}, {"-q"}};
  for (const auto &args : bad) {
    error.clear();
    EXPECT_FALSE(parse(args, o, error)) << args[0];
    EXPECT_FALSE(error.empty()) << args[0];
  }
}
