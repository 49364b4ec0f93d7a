// The window's five lists: every entry shows the value it stores, a stored
// value selects its entry again, and values no entry shows select nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ringout/ringoutlists.h"

namespace {

const RingoutList everylist[] = {gainlist, decaylist, tdecaylist, kdecaylist, ratelist};

std::atomic<float> &parameter(RingoutParams &params, RingoutList list) {
  switch (list) {
  case gainlist: return params.gain;
  case decaylist: return params.decay;
  case tdecaylist: return params.tdecay;
  case kdecaylist: return params.kdecay;
  case ratelist: break;
  }
  return params.rate;
}

// The number an entry shows, read from its text ("decayoff" shows 1).
double shown(const std::string &entry) {
  if (entry == "decayoff") return 1.0;
  const size_t digits = entry.find_first_of("0123456789");
  double value = std::strtod(entry.c_str() + digits, nullptr);
  return entry.rfind("rate", 0) == 0 ? value / 100 : value;
}

TEST(RingoutLists, EveryEntryShowsWhatItStoresAndIsSelectedAgainByIt) {
  for (RingoutList list : everylist) {
    for (int p = 1; p <= ringoutlistcount[list]; p++) {
      const std::string entry = ringoutlistentry(list, p);
      const float value = ringoutlistvalue(list, p);
      EXPECT_NEAR(value, shown(entry), 1e-6) << entry;
      RingoutParams params;
      parameter(params, list).store(value);
      EXPECT_EQ(ringoutlistposition(list, params), p) << entry;  // reopening keeps the choice
    }
    EXPECT_EQ(ringoutlistentry(list, 0), "");
    EXPECT_EQ(ringoutlistentry(list, ringoutlistcount[list] + 1), "");
  }
  EXPECT_EQ(ringoutlistentry(gainlist, 9) + ringoutlistentry(gainlist, 10) + ringoutlistentry(decaylist, 41),
            "vol91vol90decay3.00");
}

TEST(RingoutLists, NoSelectionAndValuesWithoutAnEntry) {
  // A list without a selection (position 0) still stores a value.
  EXPECT_EQ(ringoutlistvalue(gainlist, 0), 100.0f);
  EXPECT_EQ(ringoutlistvalue(ratelist, 0), 1.05f);
  EXPECT_EQ(ringoutlistvalue(decaylist, 0), 0.95f);
  EXPECT_EQ(ringoutlistvalue(tdecaylist, 0), 0.0f);
  EXPECT_EQ(ringoutlistvalue(kdecaylist, 0), 0.49f);

  // (The defaults' entries, "vol5" for the gain of 1.0 that no entry holds:
  // the window test's first case.)
  // Values from a hand-edited file beyond the lists select nothing, however far.
  const struct { RingoutList list; float value; int position; } cases[] = {
      {decaylist, 3.0f, 41}, {decaylist, 3.05f, 0}, {decaylist, 4.0f, 0},
      {gainlist, 3e38f, 0},  {gainlist, -3e38f, 0}, {gainlist, 100.0f, 0},
      {tdecaylist, 1e30f, 0}, {kdecaylist, -0.99f, 0}, {ratelist, 2.0f, 0}};
  for (const auto &c : cases) {
    RingoutParams edited;
    parameter(edited, c.list).store(c.value);
    EXPECT_EQ(ringoutlistposition(c.list, edited), c.position) << c.list << " " << c.value;
  }
}

}  // namespace
