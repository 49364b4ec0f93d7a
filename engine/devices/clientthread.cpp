// clientthread.cpp: the stream thread's life, shared by both client objects.
// Threads: clear, start and stop on the user-interface thread; open and close
// on the stream thread itself.
#include "engine/devices/clientthread.h"

#include "engine/engine.h"
#include "engine/devices/guiscanhook.h"

// How long destroy waits for a stream thread: a period is 10 ms or so, but a
// plug-in inside processblock may take its time. A thread that does not end is
// abandoned with its memory (a leak beats freeing what it may still touch).
constexpr DWORD stopwaitms = 5000;
constexpr DWORD openwaitms = 10000;

void clearclientthread(ClientThread &t, int device) {
  t.thread = nullptr;
  t.event = nullptr;
  t.ready = nullptr;
  t.open = 0;
  t.running = 0;
  t.quit = 0;
  t.result = 0;
  t.stream = nullptr;
  t.device = device;
  t.blockframes = engine.buffersize;
  t.abandoned = false;
}

static void closehandles(ClientThread &t) {
  if (t.event) CloseHandle(t.event);
  if (t.ready) CloseHandle(t.ready);
  if (t.thread) CloseHandle(t.thread);
  t.event = t.ready = t.thread = nullptr;
}

// A thread asked to end that did not: its handles and its object's memory are
// never freed under it.
static void abandon(ClientThread &t) {
  t.abandoned = true;
  t.thread = t.event = t.ready = nullptr;
}

bool startclientthread(ClientThread &t, DWORD(WINAPI *body)(void *), void *object) {
  t.event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  t.ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (t.event && t.ready) t.thread = CreateThread(nullptr, 0, body, object, 0, nullptr);
  if (!t.thread) {
    closehandles(t);
    return false;
  }
  // The thread sets `ready` in every case; a platform that never answers the
  // open is a closed device.
  if (WaitForSingleObject(t.ready, openwaitms) != WAIT_OBJECT_0 || t.open != 1) {
    t.quit = 1;
    SetEvent(t.event);
    if (WaitForSingleObject(t.thread, stopwaitms) != WAIT_OBJECT_0) {
      abandon(t);
      return false;
    }
    closehandles(t);
    return false;
  }
  return true;
}

void stopclientthread(ClientThread &t) {
  if (!t.thread) return;
  t.running = 0;
  t.quit = 1;
  SetEvent(t.event);
  if (WaitForSingleObject(t.thread, stopwaitms) != WAIT_OBJECT_0) {
    abandon(t);
    return;
  }
  closehandles(t);
  runguiscanhook();  // the windows kept answering while the stream closed
}

bool openclientstream(ClientThread &t, bool capture, int frames, bool periodic) {
  clientapi.threadbegin();
  t.stream = clientapi.open(capture, t.device, frames, periodic ? t.event : nullptr, &t.result);
  if (t.stream) {
    t.result = clientapi.start(t.stream);
    if (FAILED(t.result)) {
      clientapi.close(t.stream);
      t.stream = nullptr;
    }
  }
  if (!t.stream) {
    clientapi.threadend();
    SetEvent(t.ready);
    return false;
  }
  // A block late by more than the queue's slack is a block dropped: this
  // thread must not wait behind the machine's other work.
  clientapi.raisethread();
  t.running = 1;
  t.open = 1;
  SetEvent(t.ready);
  return true;
}

void closeclientstream(ClientThread &t) {
  t.running = 0;
  clientapi.stop(t.stream);
  clientapi.close(t.stream);
  t.stream = nullptr;
  t.open = 0;
  clientapi.threadend();
}
