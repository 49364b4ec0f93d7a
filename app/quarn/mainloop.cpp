// mainloop.cpp: roomcaster_quarn from start-up to exit.
//
//   start-up: toolkit, device lists, high priority, font check, settings, plug-ins
//   window cycle: buildpanel                        <- a rebuild (colour, preset) comes back here
//   audio cycle: playback, then capture opened       <- a device reopen comes back here
//   main loop every 20 ms: messages, keys, status every 0.24 s, loop-test requests
//   leaving: capture, then playback closed; then reopen, rebuild or exit
//   exit: plug-ins unloaded, window position taken, settings written
//
// Thread: the user-interface thread; the audio runs on the devices' own threads.
#include "app/audiocycle/audiocycle.h"
#include "app/looptest/looptest.h"
#include "app/panel/panel.h"
#include "app/panel/panelactions.h"
#include "app/quarn/quarnapp.h"
#include "app/settings/settingsfile.h"
#include "engine/engine.h"
#include "pluginhost/pluginfaults.h"
#include "pluginhost/pluginhost.h"

QuarnApp app;

// At one address from opening to closing: the platform hands it to the callbacks.
static LiveDevices devices;

// If "H" in the screen's font is not 16 pixels high, the controls take the
// default GUI font at size 14.
static void checkfont() {
  HDC screen = GetDC(nullptr);
  SIZE size{};
  GetTextExtentPoint32A(screen, "H", 1, &size);
  ReleaseDC(nullptr, screen);
  if (size.cy == 16) return;
  seteditfont(17, 14, 0);
  setstaticfont(17, 14, 0);
  setlistboxfont(17, 14, 0);
  setbuttonfont(17, 14, 0);
}

static void opendevices() {
  app.restartrequest = 0;
  engine.quitrequest = 0;
  if (engine.loopteststate == looptestafterreopen) engine.loopteststate = looptestrequested;
  settings.waveout = offereddevice(settings.waveout, app.outputdevicecount);
  settings.wavein = offereddevice(settings.wavein, app.inputdevicecount);
  openaudiocycle(devices, settings.wavein, settings.waveout);
}

// The keys the main loop watches (virtual-key codes): Escape in the window and
// Space in the message line quit; the "8" key (0x38) in the window asks for the
// loop test.
constexpr int keyquit = VK_ESCAPE;
constexpr int keylooptest = '8';
constexpr int keyquitinmessage = VK_SPACE;

static bool keyon(int key, HWND where, HWND now) { return guikeydown(key) != 0 && where && now == where; }

static void mainloop() {
  while (engine.quitrequest == 0) {
    guiscan();
    guisleep(20);
    if (keyon(keyquit, app.winhandle, GetActiveWindow())) engine.quitrequest = 1;
    if (keyon(keylooptest, app.winhandle, GetActiveWindow())) ontestloop();
    if (keyon(keyquitinmessage, app.msghandle, GetFocus())) engine.quitrequest = 1;
    const double now = liveclock();
    if (now - app.statustime > 0.24) {
      app.statustime = now;
      reportpluginfaults("roomcaster_quarn");  // a plug-in switched off: log file, debug output
      refreshpanel();
      redrawwindow("win");
    }
    if (engine.loopteststate == looptestrequested) {
      engine.loopteststate = looptestrunning;
      looptest();
      engine.loopteststate = 0;
    }
  }
}

static void exitprogram() {
  unloadplugins();
  if (engine.play == 0) takegainchoice();
  int x = settings.winx, y = settings.winy, width = 0, height = 0;
  getguirect("win", x, y, width, height);
  settings.winx = x;
  settings.winy = y;
  writesettings();
  guiclose("nomsg");
  guiexit("msg");
}

void runquarn(const AudioBackend *backend) {
  devices.backend = backend;
  guistartup();
  guiinit();
  listdevices();
  SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
  checkfont();
  readsettings();
  loadplugins();
  reportpluginfaults("roomcaster_quarn");  // a plugininit that faulted
  engineclock.now = liveclock;
  guiscanhook = guiscan;
  for (;;) {
    buildpanel();
    for (;;) {
      opendevices();
      mainloop();
      closeaudiocycle(devices);
      if (app.restartrequest != 1) break;
      guisleep(100);
      app.restartrequest = 0;
      engine.quitrequest = 0;
    }
    if (app.restartrequest != 2) break;
    engine.quitrequest = 0;
    closewindow("win");
    guiinit();
    guisleep(200);
  }
  exitprogram();
}
