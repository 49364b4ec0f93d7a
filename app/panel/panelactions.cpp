// panelactions.cpp: the actions of the main window's controls. Each writes the
// engine's parameters whole; the audio thread hears them from the next sample.
// Most hand the keyboard focus back to the status box "win.msg" ("focus back").
#include "app/panel/panelactions.h"

#include "app/looptest/looptest.h"
#include "app/panel/panelvalues.h"
#include "app/quarn/quarnapp.h"
#include "app/settings/presetflows.h"
#include "app/settings/settingsfile.h"
#include "engine/engine.h"
#include "pluginhost/pluginhost.h"

static int choice(const char *list) {
  int k = 0;
  getcomboindex(list, k);
  return k;
}

static void focusback() { guisetfocus("win.msg"); }

// Leave the main loop; the devices reopen (1) or the window is rebuilt first (2).
static void restart(int kind) {
  engine.quitrequest = 1;
  app.restartrequest = kind;
}

void onquit() { engine.quitrequest = 1; }

void onplay() {
  if (engine.loopteststate != 0) return;
  if (engine.play == 0) {
    engine.play = 1;
    settext("win.play", "on");
  } else {
    engine.play = 0;
    settext("win.play", "off");
  }
  focusback();
}

// A new device: reopen both, then propose the loop test.
void onwavein() {
  settings.wavein = deviceofchoice(choice("win.wavein"));
  restart(1);
  engine.loopteststate = looptestafterreopen;
}

void onwaveout() {
  settings.waveout = deviceofchoice(choice("win.waveout"));
  restart(1);
  engine.loopteststate = looptestafterreopen;
}

void onbuffersize() {
  engine.buffersize = buffersizeofchoice(choice("win.buffersize"));
  focusback();
  restart(1);
}

void takegainchoice() {
  engine.gain = gainofchoice(choice("win.gain"));
  guisleep(50);
}

void ongain() {
  takegainchoice();
  focusback();
}

void onpan() {
  engine.pan = panofchoice(choice("win.pan"));
  guisleep(50);
  focusback();
}

void onwet() {
  engine.wet = engine.wet == 0 ? 1 : 0;
  if (engine.wet == 1) checkbutton("win.wet");
  else uncheckbutton("win.wet");
  focusback();
}

void ontplug() {
  engine.tplug = engine.tplug == 0 ? 1 : 0;
  if (engine.tplug == 1) checkbutton("win.tplug");
  else uncheckbutton("win.tplug");
  focusback();
}

void onplugins() { togglepluginwindows(); }

void ontestloop() {
  engine.loopteststate = looptestrequested;
  guisleep(200);
}

void oncolor() {
  settings.color = nextcolor(settings.color);
  restart(2);
}

void onsave() { savepresetflow(); }

void onload() { loadpresetflow(); }
