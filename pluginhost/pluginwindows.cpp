// pluginwindows.cpp: the plug-ins' window threads and unloading at exit.
//
// Threads: every procedure here runs on the main thread, except windowthread<n>,
// the body of slot n's window thread. The slot's `windowthread` field is the
// "running" mark: the main thread sets it before the thread may run, the thread
// clears it when pluginmain returns. The handle itself is also kept in
// windowhandle[], which only the main thread touches, so it can always wait for
// or close the thread even after the thread has cleared its mark.
#include <windows.h>

#include <atomic>

#include "pluginhost/pluginfaults.h"
#include "pluginhost/pluginhost.h"

static HANDLE windowhandle[pluginslotcount + 1];  // main thread only; null when none

static std::atomic_ref<void *> runningmark(int slot) {
  return std::atomic_ref<void *>(pluginslots[slot].windowthread);
}

template <int slot>
static DWORD WINAPI windowthread(void *) {
  pluginslots[slot].pluginmain();
  runningmark(slot).store(nullptr);  // the window is finished, however it ended
  return 0;
}

static LPTHREAD_START_ROUTINE const windowthreadbody[pluginslotcount + 1] = {
    nullptr,         windowthread<1>, windowthread<2>, windowthread<3>,
    windowthread<4>, windowthread<5>, windowthread<6>};

// A thread that has cleared its mark has left pluginmain; wait for its last
// steps and release the handle.
static void releasehandle(int slot) {
  if (!windowhandle[slot]) return;
  WaitForSingleObject(windowhandle[slot], INFINITE);
  CloseHandle(windowhandle[slot]);
  windowhandle[slot] = nullptr;
}

void startpluginwindows() {
  for (int slot = 1; slot <= pluginslotcount; ++slot) {
    if (runningmark(slot).load() || !pluginslots[slot].pluginmain) continue;
    releasehandle(slot);
    // Created suspended so the mark is set before pluginmain can return and clear it.
    HANDLE thread = CreateThread(nullptr, 0, windowthreadbody[slot], nullptr, CREATE_SUSPENDED, nullptr);
    if (!thread) continue;
    windowhandle[slot] = thread;
    runningmark(slot).store(thread);
    ResumeThread(thread);
    Sleep(500);  // let this window come up before the next one
  }
}

void closepluginwindows() {
  for (int slot = 1; slot <= pluginslotcount; ++slot) {
    if (!runningmark(slot).load()) continue;
    if (pluginslots[slot].pluginclose) pluginslots[slot].pluginclose();
    releasehandle(slot);  // no time limit: the plug-in must notice the request
    runningmark(slot).store(nullptr);
  }
}

int runningpluginwindows() {
  int running = 0;
  for (int slot = 1; slot <= pluginslotcount; ++slot)
    if (runningmark(slot).load()) ++running;
  return running;
}

void togglepluginwindows() {
  if (runningpluginwindows() > 0)
    closepluginwindows();
  else
    startpluginwindows();
}

void unloadplugins() {
  closepluginwindows();
  Sleep(700);
  for (int slot = 1; slot <= pluginslotcount; ++slot) {
    releasehandle(slot);
    runningmark(slot).store(nullptr);
    PluginSlot &s = pluginslots[slot];
    clearpluginentries(s);
    if (s.module) FreeLibrary((HMODULE)s.module);  // also modules that lacked an export
    s.module = nullptr;
    clearpluginfault(slot);
  }
  Sleep(300);
}
