// ringoutmodule.cpp: the Win32 module of ringout: its start-up and its exports.
// Threads: DllMain on the loading thread; plugininit and pluginclose on the
// host's main thread; pluginproc (and mypluginproc) on the audio thread;
// pluginmain on a window thread (the host's, or our own from startpluginmain).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

#include "gui_quarn/gui_quarn.h"
#include "gui_quarn/guifolders.h"
#include "pluginhost/plugincontract.h"
#include "ringout/ringoutmodule.h"
#include "ringout/ringoutwindow.h"

RingoutParams ringoutparams;
RingoutPlace ringoutplace;
std::atomic<int32_t> closerequest{0};
std::string modulefolder;
std::string settingspath = "ringout.ini";

QUARN_PLUGINEXPORT int QUARN_PLUGINCALL pluginmain(void);

namespace {

HMODULE thismodule;           // this DLL, for its own path
RingoutLines ringoutlines;    // ~51 MB, static: reserved when the module loads
RingoutState ringoutstate;    // audio thread only, after DllMain

// startpluginmain's own window thread (host threads are the host's business).
HANDLE windowthread;                    // main thread only
std::atomic<int32_t> windowrunning{0};  // 1 from start until pluginmain returns
double windowtime;                      // seconds: when the thread was started or raised

double seconds() { return static_cast<double>(GetTickCount64()) / 1000.0; }

DWORD WINAPI runwindow(LPVOID) {
  pluginmain();
  windowrunning.store(0);
  return 0;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    thismodule = module;
    DisableThreadLibraryCalls(module);
    ringoutstart(ringoutstate, ringoutlines);
    settingspath = "ringout.ini";
    // The module's own toolkit instance has already started (guiinit among
    // it) with the module's static data, before this call.
  }
  return TRUE;
}

QUARN_PLUGINEXPORT int QUARN_PLUGINCALL plugininit(void) {
  // The module's own path, whole: a cut folder name would point elsewhere.
  const std::string path = guimodulepath(thismodule);
  modulefolder = ringoutmodulefolder(path);
  settingspath = ringoutsettingspath(path);
  return ringoutreadsettings(settingspath.c_str(), ringoutparams, ringoutplace);
}

QUARN_PLUGINEXPORT int QUARN_PLUGINCALL pluginmain(void) { return ringoutwindow(); }

QUARN_PLUGINEXPORT float QUARN_PLUGINCALL pluginproc(float sample) {
  return ringoutproc(ringoutstate, ringoutparams, sample);
}

QUARN_PLUGINEXPORT int QUARN_PLUGINCALL pluginclose(void) {
  closerequest.store(1);
  return 0;
}

QUARN_PLUGINEXPORT int QUARN_PLUGINCALL startpluginmain(void) {
  if (windowrunning.load() == 0) {
    if (windowthread != nullptr) CloseHandle(windowthread);
    windowrunning.store(1);
    windowthread = CreateThread(nullptr, 0, runwindow, nullptr, 0, nullptr);
    if (windowthread == nullptr) windowrunning.store(0);
    windowtime = seconds();
    return 0;
  }
  const double now = seconds();
  if (windowtime > now + 99) windowtime = now;
  if (now - windowtime > 7) {
    ringoutwindowtofront();
    Sleep(1500);
    windowtime = seconds();
  }
  return 0;
}

QUARN_PLUGINEXPORT int QUARN_PLUGINCALL closepluginmain(void) {
  pluginclose();
  if (windowthread != nullptr) {
    if (windowrunning.load() != 0) WaitForSingleObject(windowthread, INFINITE);
    CloseHandle(windowthread);
    windowthread = nullptr;
  }
  // A window run by the host's thread also ends on the request; the toolkit
  // belongs to that thread until it has.
  while (ringoutwindowruns.load() != 0) Sleep(10);
  guiclose("nomsg");
  closerequest.store(0);  // nothing runs: the request, if unused, is void
  return 0;
}

QUARN_PLUGINEXPORT float QUARN_PLUGINCALL mypluginproc(float *sample) {
  // A null pointer carries no sample: nothing is processed.
  if (sample == nullptr) return 0.0f;
  return pluginproc(*sample);
}
