// ringoutmodule.cpp: the Win32 module of ringout: its start-up and its exports.
// Threads: DllMain on the loading thread; plugininit and pluginclose on the
// host's main thread; pluginproc (and mypluginproc) on the audio thread;
// pluginmain on a window thread (the host's, or our own from startpluginmain).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

#include "pluginhost/plugincontract.h"
#include "ringout/ringoutmodule.h"

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
    // TODO(window): guiinit of the plug-in's own toolkit instance.
  }
  return TRUE;
}

QUARN_PLUGINEXPORT int QUARN_PLUGINCALL plugininit(void) {
  // The module's own path; the buffer is far above MAX_PATH so that a long
  // folder name is never cut, which would point at some other folder.
  std::string path(32768, '\0');
  const DWORD length = GetModuleFileNameA(thismodule, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length < path.size() ? length : 0);
  modulefolder = ringoutmodulefolder(path);
  settingspath = ringoutsettingspath(path);
  return ringoutreadsettings(settingspath.c_str(), ringoutparams, ringoutplace);
}

QUARN_PLUGINEXPORT int QUARN_PLUGINCALL pluginmain(void) {
  // TODO(window): the window of the settings (built with the toolkit) runs
  // here until the close box, Escape or pluginclose; until then the call
  // returns at once and the window thread simply ends.
  closerequest.store(0);
  return 0;
}

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
    // TODO(window): bring the window "win" to the foreground.
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
  // TODO(window): guiclose "nomsg", closing every window of our toolkit.
  return 0;
}

QUARN_PLUGINEXPORT float QUARN_PLUGINCALL mypluginproc(float *sample) {
  // A null pointer carries no sample: nothing is processed.
  if (sample == nullptr) return 0.0f;
  return pluginproc(*sample);
}
