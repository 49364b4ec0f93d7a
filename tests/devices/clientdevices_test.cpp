// The stream device objects against a fake audio-client table: their threads
// open, serve and close the streams; packets run through processblock and its
// blocks reach the playback stream; a device that stops delivering or fails
// leaves a program that still closes at once.
#include <gtest/gtest.h>

#include <audioclient.h>

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "engine/devices/clientdevices.h"
#include "engine/devices/wavedevices.h"

namespace {

// The fake platform. The stream threads and the test both touch it.
struct FakeClient {
  std::mutex lock;
  std::vector<std::string> log;           // "open capture", "start playback", ...
  std::deque<std::vector<int16_t>> packets;  // capture packets waiting to be taken
  std::vector<int16_t> inhand;            // the packet taken and not yet released
  HRESULT packetresult = S_OK;            // what the next packet call answers
  HRESULT paddingresult = S_OK;
  bool failopen = false;
  int64_t written = 0;                    // frames written to the playback stream
  int64_t padding = 0;                    // frames of it still to play
} *fake;

ClientStream *const capturestream = reinterpret_cast<ClientStream *>(0x10);
ClientStream *const playbackstream = reinterpret_cast<ClientStream *>(0x20);
const char *side(ClientStream *s) { return s == capturestream ? "capture" : "playback"; }
void note(const std::string &s) {
  std::lock_guard<std::mutex> g(fake->lock);
  fake->log.push_back(s);
}

ClientApi fakeapi() {
  ClientApi a = platformclientapi();
  a.threadbegin = a.threadend = a.raisethread = [] {};
  a.open = [](bool capture, int, int, HANDLE, HRESULT *r) -> ClientStream * {
    note(std::string("open ") + (capture ? "capture" : "playback"));
    *r = fake->failopen ? HRESULT_FROM_WIN32(ERROR_NOT_FOUND) : S_OK;
    return fake->failopen ? nullptr : capture ? capturestream : playbackstream;
  };
  a.close = [](ClientStream *s) { note(std::string("close ") + side(s)); };
  a.start = [](ClientStream *s) { return note(std::string("start ") + side(s)), S_OK; };
  a.stop = [](ClientStream *s) { return note(std::string("stop ") + side(s)), S_OK; };
  a.packet = [](ClientStream *, const int16_t **samples, UINT32 *frames, bool *silent) {
    std::lock_guard<std::mutex> g(fake->lock);
    *frames = 0;
    *silent = false;
    if (FAILED(fake->packetresult) || fake->packets.empty()) return fake->packetresult;
    fake->inhand = fake->packets.front();
    fake->packets.pop_front();
    *samples = fake->inhand.data();
    *frames = static_cast<UINT32>(fake->inhand.size() / 2);
    return S_OK;
  };
  a.release = [](ClientStream *, UINT32) { return S_OK; };
  a.padding = [](ClientStream *, UINT32 *frames) {
    std::lock_guard<std::mutex> g(fake->lock);
    *frames = static_cast<UINT32>(fake->padding);
    return fake->paddingresult;
  };
  a.write = [](ClientStream *, const int16_t *, UINT32 frames) {
    std::lock_guard<std::mutex> g(fake->lock);
    fake->written += frames;
    fake->padding += frames;
    return S_OK;
  };
  a.wait = [](HANDLE event, DWORD) { return WaitForSingleObject(event, 2); };  // a 2 ms device period
  return a;
}

class ClientDevices : public ::testing::Test {
 protected:
  FakeClient state;
  ClientCapture in{};
  ClientPlayback out{};
  void SetUp() override {
    fake = &state;
    clientapi = fakeapi();
    waveapi.incaps = [](UINT_PTR, LPWAVEINCAPSA, UINT) -> MMRESULT { return 0; };
    waveapi.outcaps = [](UINT_PTR, LPWAVEOUTCAPSA, UINT) -> MMRESULT { return 0; };
    engineinit();
    engine.buffersize = 441;
    engineclock.now = liveclock;
    enginedevicesopened(liveclock() - 10);  // past the start-up silence
    engine.play = 1;
  }
  void TearDown() override {
    clientapi = platformclientapi();
    waveapi = platformwaveapi();
  }
  void push(int frames) {
    std::lock_guard<std::mutex> g(state.lock);
    state.packets.emplace_back(2 * frames, 1000);
  }
  template <class F>
  bool waitfor(F holds) {
    for (int i = 0; i < 500 && !holds(); ++i) Sleep(2);
    return holds();
  }
  int64_t written() {
    std::lock_guard<std::mutex> g(state.lock);
    return state.written;
  }
};

TEST_F(ClientDevices, PacketsRunThroughTheChainIntoThePlaybackStream) {
  createclientplayback(out, -1);
  ASSERT_EQ(out.t.open.load(), 1);
  EXPECT_EQ(engineplayback.load(), &out.blocks.port) << "published once the stream is open";
  createclientcapture(in, 3);
  ASSERT_EQ(in.t.open.load(), 1);
  push(600);
  push(282);  // 882 frames: two whole blocks
  ASSERT_TRUE(waitfor([&] { return written() == 882 && livecounters.captured.load() == 2; }));
  EXPECT_EQ(capturedcount.load(), 882);
  // The device plays everything before the next block: it finds the queue empty.
  { std::lock_guard<std::mutex> g(state.lock); state.padding = 0; }
  push(441);
  ASSERT_TRUE(waitfor([&] { return livecounters.captured.load() == 3; }));
  EXPECT_EQ(livecounters.underruns.load(), 1u);
  EXPECT_EQ(written(), 1323);
  destroyclientcapture(in);
  destroyclientplayback(out);
  EXPECT_EQ(engineplayback.load(), nullptr);
  EXPECT_EQ(capturedblock.load(), nullptr);
  const std::vector<std::string> expected = {"open playback", "start playback", "open capture", "start capture",
                                             "stop capture", "close capture", "stop playback", "close playback"};
  EXPECT_EQ(state.log, expected);
}

TEST_F(ClientDevices, ADeviceThatStopsDeliveringStillClosesAtOnce) {
  createclientplayback(out, -1);
  createclientcapture(in, -1);
  Sleep(50);  // nothing arrives
  EXPECT_EQ(livecounters.captured.load(), 0u);
  const DWORD start = GetTickCount();
  destroyclientcapture(in);
  destroyclientplayback(out);
  EXPECT_LT(GetTickCount() - start, 1000u);
  EXPECT_EQ(in.t.open + out.t.open, 0);
}

TEST_F(ClientDevices, AFailingDeviceEndsTheRunningStateAndNothingMoreIsPlayed) {
  createclientplayback(out, -1);
  createclientcapture(in, -1);
  { std::lock_guard<std::mutex> g(state.lock); state.paddingresult = AUDCLNT_E_DEVICE_INVALIDATED; }
  push(441);
  ASSERT_TRUE(waitfor([&] { return livecounters.captured.load() == 1; }));
  EXPECT_EQ(out.t.running.load(), 0);
  EXPECT_EQ(written(), 0) << "a playback that failed takes no more blocks";
  { std::lock_guard<std::mutex> g(state.lock); state.packetresult = AUDCLNT_E_DEVICE_INVALIDATED; }
  ASSERT_TRUE(waitfor([&] { return in.t.running.load() == 0; }));
  { std::lock_guard<std::mutex> g(state.lock); state.packetresult = S_OK; }
  push(441);
  Sleep(50);
  EXPECT_EQ(livecounters.captured.load(), 1u) << "a capture that failed takes no more packets";
  destroyclientcapture(in);
  destroyclientplayback(out);
  EXPECT_EQ(state.log.back(), "close playback");
}

TEST_F(ClientDevices, AnEndpointThatWillNotOpenLeavesTheObjectClosed) {
  state.failopen = true;
  createclientplayback(out, 7);
  createclientcapture(in, 7);
  EXPECT_EQ(in.t.open + out.t.open, 0);
  EXPECT_EQ(engineplayback.load(), nullptr);
  EXPECT_EQ(in.storage, nullptr);
  destroyclientcapture(in);
  destroyclientplayback(out);
  const std::vector<std::string> expected = {"open playback", "open capture"};
  EXPECT_EQ(state.log, expected);
}

}  // namespace
