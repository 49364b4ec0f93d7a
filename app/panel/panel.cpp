// panel.cpp: building the main window "win" from the values in memory.
// Runs at start-up and after every rebuild (colour change, preset load).
#include <algorithm>

#include "app/panel/panel.h"
#include "app/panel/panelactions.h"
#include "app/panel/panelvalues.h"
#include "app/quarn/quarnapp.h"
#include "app/settings/settingsfile.h"
#include "engine/engine.h"

// The background of each colour scheme; any other number keeps the first call's.
static void schemecolor(int32_t color) {
  switch (color) {
    case 0: setbackcolor(50, 255, 50); break;
    case 1: setbackcolor(255, 255, 50); break;
    case 2: setbackcolor(255, 49, 52); break;
    case 3: setbackcolor(50, 60, 255); break;
    default: break;
  }
}

static void declarecontrols() {
  addbutton("win.quit", "quit", onquit, 10, 45, 40, 24, 0);
  addbutton("win.play", "play", onplay, 55, 47, 36, 20, 0);
  addcombobox("win.wavein", onwavein, 10, 10, 240, 400);
  addcombobox("win.buffersize", onbuffersize, 256, 10, 80, 400);
  addcombobox("win.pan", onpan, 341, 10, 57, 400);
  addcombobox("win.waveout", onwaveout, 10, 106, 240, 400);
  addcombobox("win.gain", ongain, 256, 106, 80, 400);
  addcheckbox("win.wet", "wet", onwet, 344, 111, 60, 20);
  addgraphicbox("win.vuout", 340, 75, 42, 17, "gfx", 0);
  addedit("win.msg", "", nullptr, 100, 45, 150, 53, 0);
  addbutton("win.plugins", "plugins", onplugins, 27, 75, 65, 22, 0);
  addcheckbox("win.tplug", "plugs", ontplug, 10, 79, 15, 15);
  addbutton("win.testloop", "testloop", ontestloop, 256, 75, 80, 22, 0);
  addbutton("win.color", "color", oncolor, 340, 45, 50, 18, 0);
  addbutton("win.save", "save", onsave, 256, 45, 38, 22, 0);
  addbutton("win.load", "load", onload, 296, 45, 38, 22, 0);
}

// The window's position pulled onto the desktop, written back to the settings.
static void placewindow() {
  const int64_t width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  settings.winx = static_cast<int32_t>(std::max<int64_t>(0, std::min<int64_t>(width - 500, settings.winx)));
  settings.winy = static_cast<int32_t>(std::max<int64_t>(0, std::min<int64_t>(height - 350, settings.winy)));
}

void buildpanel() {
  EngineState &e = engine;
  setbackcolor(50, 255, 50);
  seteditbackcolor(220, 170, 255);
  setedittextcolor(0, 0, 100);
  setstatictextcolor(0, 0, 0);
  schemecolor(settings.color);

  declarecontrols();
  placewindow();
  openwindow("win", "roomcaster_quarn", settings.winx, settings.winy, 407, 175, WS_SYSMENU | WS_MINIMIZEBOX, 0);
  trapclose("win", onquit);
  guisetfocus("win");

  setcombolist("win.wavein", devicechoices(app.inputdevicenames, app.inputdevicecount));
  setcomboindex("win.wavein", deviceposition(settings.wavein));
  setcombolist("win.waveout", devicechoices(app.outputdevicenames, app.outputdevicecount));
  setcomboindex("win.waveout", deviceposition(settings.waveout));

  engineswitchesoff();
  if (e.tplug == 1) checkbutton("win.tplug");
  if (e.wet == 1) checkbutton("win.wet");

  for (int k = 1; k <= gainentries; ++k) addcomboitem("win.gain", gainentry(k));
  setcomboindex("win.gain", gainposition(e.gain));
  for (int k = 1; k <= panentries; ++k) addcomboitem("win.pan", panentry(k));
  setcomboindex("win.pan", panposition(e.pan));
  for (int k = 1; k <= buffersizeentries; ++k) addcomboitem("win.buffersize", buffersizeentrytext(k));
  setcomboindex("win.buffersize", buffersizeposition(e.buffersize));

  app.winhandle = gethandle("win");
  app.msghandle = gethandle("win.msg");
  app.vuimage = getgraphicbox("win.vuout");

  e.play = 1;
  settext("win.play", "on");
}
