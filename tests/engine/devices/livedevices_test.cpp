// The back-end choice: --audio names pick a table, other names change
// nothing, and the audio cycle reaches the devices only through the chosen
// table (here a stub that records its calls), in its order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/audiocycle/audiocycle.h"

namespace {

std::vector<std::string> calls;
bool stubopen = false;

const AudioBackend stubbackend = {
    "stub",
    [](LiveDevices &, int device) { calls.push_back("open playback " + std::to_string(device)); },
    [](LiveDevices &, int device) {
      calls.push_back("open capture " + std::to_string(device));
      stubopen = true;
    },
    [](LiveDevices &) {
      calls.push_back("close capture");
      stubopen = false;
    },
    [](LiveDevices &) { calls.push_back("close playback"); },
    [](const LiveDevices &) { return stubopen; },
    [](const LiveDevices &) { return stubopen; },
    [](const LiveDevices &) { return "stub in"; },
    [](const LiveDevices &) { return "stub out"; },
    [](const LiveDevices &, int) -> const int16_t * { return nullptr; },
    [](const LiveDevices &) { return 0; },
};

TEST(AudioBackends, NamesPickATableAndOtherNamesChangeNothing) {
  LiveDevices d;
  EXPECT_STREQ(audiobackendname(d.backend), "waveform") << "the programs' default";
  EXPECT_TRUE(audiobackendnamed("wasapi", d.backend));
  EXPECT_EQ(d.backend, &clientbackend);
  EXPECT_FALSE(audiobackendnamed("WASAPI", d.backend));
  EXPECT_FALSE(audiobackendnamed("", d.backend));
  EXPECT_EQ(d.backend, &clientbackend);
  EXPECT_TRUE(audiobackendnamed("waveform", d.backend));
  EXPECT_EQ(d.backend, &waveformbackend);
}

TEST(AudioBackends, TheAudioCycleGoesThroughTheChosenTable) {
  waveapi.sleepms = [](int) {};
  LiveDevices d;
  d.backend = &stubbackend;
  calls.clear();
  openaudiocycle(d, 2, -1);
  EXPECT_TRUE(captureisopen(d));
  EXPECT_STREQ(capturename(d), "stub in");
  EXPECT_EQ(playbackbuffer(d, 6), nullptr) << "only buffers 0..5 are asked for";
  closeaudiocycle(d);
  EXPECT_FALSE(playbackisopen(d));
  const std::vector<std::string> expected = {"open playback -1", "open capture 2", "close capture", "close playback"};
  EXPECT_EQ(calls, expected);
  waveapi = platformwaveapi();
}

}  // namespace
