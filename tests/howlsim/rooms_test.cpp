// The rooms are what they say: the direct sound arrives after distance / c at
// 1/distance, the tail decays at the room's RT60, and the same room gives the
// same response every time.
#include "bench/howlsim/rooms.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// RT60 from the Schroeder backward integral, fitted between -5 and -25 dB.
double measuredrt60(const std::vector<float>& h) {
  std::vector<double> energy(h.size() + 1, 0.0);
  for (size_t i = h.size(); i-- > 0;) energy[i] = energy[i + 1] + static_cast<double>(h[i]) * h[i];
  int t5 = -1, t25 = -1;
  for (size_t i = 0; i < h.size(); ++i) {
    const double db = 10 * std::log10(energy[i] / energy[0]);
    if (t5 < 0 && db <= -5) t5 = static_cast<int>(i);
    if (t25 < 0 && db <= -25) t25 = static_cast<int>(i);
  }
  return 3.0 * (t25 - t5) / 44100.0;
}

TEST(Rooms, DirectSoundTailAndRepeatability) {
  const std::vector<RoomSpec>& rooms = simrooms();
  ASSERT_GE(rooms.size(), 20u);
  double shortest = 9, longest = 0;
  for (const RoomSpec& room : rooms) {
    shortest = std::min(shortest, room.rt60), longest = std::max(longest, room.rt60);
    const RoomPaths paths = roompaths(room);
    const double r = roomdistance(room, room.mic);
    const int arrival = static_cast<int>(r / 343.0 * 44100);
    // Nothing before the direct sound (the band filters ring only after it).
    double before = 0;
    for (int i = 0; i < arrival - 1; ++i) before = std::max(before, std::fabs(static_cast<double>(paths.before[i])));
    EXPECT_LT(before, 1e-6) << room.name;
    EXPECT_NEAR(measuredrt60(paths.before), room.rt60, 0.2 * room.rt60) << room.name;
    EXPECT_NE(paths.before, paths.after) << room.name;
    EXPECT_EQ(roompaths(room).before, paths.before) << room.name;
  }
  EXPECT_LE(shortest, 0.3 + 1e-9);
  EXPECT_GE(longest, 1.2 - 1e-9);
}

}  // namespace
