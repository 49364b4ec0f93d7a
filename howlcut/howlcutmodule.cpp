// howlcutmodule.cpp: the Win32 module of howlcut: its start-up and its exports.
// Threads: DllMain on the loading thread; plugininit and pluginclose on the
// host's main thread; pluginproc on the audio thread; pluginmain on the window
// thread the host starts for the slot.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

#include "howlcut/howlcutmodule.h"
#include "howlcut/howlcutstate.h"
#include "howlcut/howlcutwindow.h"
#include "pluginhost/plugincontract.h"

HowlParams howlparams;
HowlDisplay howldisplay;
HowlPlace howlplace;
std::atomic<int32_t> howlcloserequest{0};
std::string howlfolder;
std::string howlsettingsfile = "howlcut.ini";

namespace {

HMODULE thismodule;  // this DLL, for its own path
HowlState howlstate;  // every buffer of the sound, fixed size, static; audio thread only after DllMain

}  // namespace

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    thismodule = module;
    DisableThreadLibraryCalls(module);
    howlstart(howlstate);
  }
  return TRUE;
}

QUARN_PLUGINEXPORT int QUARN_PLUGINCALL plugininit(void) {
  // The module's own path; the buffer is far above MAX_PATH so that a long
  // folder name is never cut, which would point at some other folder.
  std::string path(32768, '\0');
  const DWORD length = GetModuleFileNameA(thismodule, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length < path.size() ? length : 0);
  howlfolder = howlmodulefolder(path);
  howlsettingsfile = howlsettingspath(path);
  return howlreadsettings(howlsettingsfile.c_str(), howlparams, howlplace);
}

QUARN_PLUGINEXPORT int QUARN_PLUGINCALL pluginmain(void) { return howlwindow(); }

QUARN_PLUGINEXPORT float QUARN_PLUGINCALL pluginproc(float sample) {
  return howlproc(howlstate, howlparams, howldisplay, sample);
}

QUARN_PLUGINEXPORT int QUARN_PLUGINCALL pluginclose(void) {
  howlcloserequest.store(1);
  return 0;
}
