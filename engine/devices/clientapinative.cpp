// clientapinative.cpp: the client table of a native build: real events and
// threads, no streams (every open is refused), so the stream device objects
// can be driven by tests that fill in the stream calls.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

#include "engine/devices/clientapi.h"

namespace {

// An event or a thread: both are "set" once (a thread when it ends).
struct Waitable {
  std::mutex lock;
  std::condition_variable changed;
  bool set = false;
  bool manualreset = true;
  std::thread thread;  // threads only
};

void *newevent(bool manualreset) {
  Waitable *w = new (std::nothrow) Waitable;
  if (w) w->manualreset = manualreset;
  return w;
}

void setevent(void *h) {
  Waitable &w = *static_cast<Waitable *>(h);
  std::lock_guard<std::mutex> g(w.lock);
  w.set = true;
  w.changed.notify_all();
}

bool wait(void *h, int ms) {
  Waitable &w = *static_cast<Waitable *>(h);
  std::unique_lock<std::mutex> g(w.lock);
  const auto isset = [&] { return w.set; };
  if (ms < 0) w.changed.wait(g, isset);
  else if (!w.changed.wait_for(g, std::chrono::milliseconds(ms), isset)) return false;
  if (!w.manualreset) w.set = false;
  return true;
}

// A thread's handle may be closed while it runs: it is detached then, and its
// record stays for it to set when it ends.
void closehandle(void *h) {
  Waitable *w = static_cast<Waitable *>(h);
  if (w->thread.joinable()) {
    if (!wait(w, 0)) {
      w->thread.detach();
      return;
    }
    w->thread.join();
  }
  delete w;
}

void *startthread(void (*body)(void *), void *arg) {
  Waitable *w = new (std::nothrow) Waitable;
  if (!w) return nullptr;
  w->thread = std::thread([w, body, arg] {
    body(arg);
    setevent(w);
  });
  return w;
}

}  // namespace

ClientApi platformclientapi() {
  ClientApi a{};
  a.threadbegin = [] { return true; };
  a.threadend = [] {};
  a.open = [](bool, int, int, void *, clientresult *result) -> ClientStream * {
    *result = clientnotfound;
    return nullptr;
  };
  a.close = [](ClientStream *) {};
  a.start = a.stop = [](ClientStream *) { return clientok; };
  a.packet = [](ClientStream *, ClientPacket *p) {
    *p = ClientPacket{};
    return clientok;
  };
  a.release = [](ClientStream *, uint32_t) { return clientok; };
  a.padding = [](ClientStream *, uint32_t *frames) {
    *frames = 0;
    return clientok;
  };
  a.write = [](ClientStream *, const int16_t *, uint32_t) { return clientok; };
  a.raisethread = [] {};
  a.newevent = newevent;
  a.setevent = setevent;
  a.wait = wait;
  a.closehandle = closehandle;
  a.startthread = startthread;
  return a;
}

ClientApi clientapi = platformclientapi();
