// ringoutwindow.cpp: ringout's window: six controls that set the sound's
// parameters while audio runs, and ringout.ini written when the window ends.
// Thread: ringoutwindow and every callback run on the window thread (the
// host's, or startpluginmain's); each parameter is stored whole, so the audio
// thread hears a choice from its next sample on.
#include "ringout/ringoutwindow.h"

#include <algorithm>

#include "gui_quarn/gui_quarn.h"
#include "ringout/ringoutlists.h"
#include "ringout/ringoutmodule.h"

std::atomic<int32_t> ringoutwindowruns{0};

namespace {

// The open window, for ringoutwindowtofront on another thread; null otherwise.
std::atomic<HWND> openhandle{nullptr};

// The five lists, in the order they are filled and selected (which is also
// the order of RingoutList, so listcontrols[list] is that list's control).
struct ListControl {
  const char *name;  // control name
  RingoutList list;
};
constexpr ListControl listcontrols[ringoutlists] = {
    {"win.gain", gainlist},     {"win.decay", decaylist}, {"win.tdecay", tdecaylist},
    {"win.kdecay", kdecaylist}, {"win.rate", ratelist}};
static_assert(listcontrols[decaylist].list == decaylist && listcontrols[ratelist].list == ratelist);

std::atomic<float> &parameterof(RingoutList list) {
  switch (list) {
  case gainlist: return ringoutparams.gain;
  case decaylist: return ringoutparams.decay;
  case tdecaylist: return ringoutparams.tdecay;
  case kdecaylist: return ringoutparams.kdecay;
  case ratelist: break;
  }
  return ringoutparams.rate;
}

// A list's choice: the selected position (0 when none) sets the parameter.
template <RingoutList list>
void onlist() {
  int position = 0;
  getcomboindex(listcontrols[list].name, position);
  parameterof(list).store(ringoutlistvalue(list, position));
  guisleep(100);
}

// The "decay" check box switches the processing; the mark follows the value.
void ontdecayon() {
  if (ringoutparams.tdecayon.load() == 1) {
    ringoutparams.tdecayon.store(0);
    uncheckbutton("win.tdecayon");
  } else {
    ringoutparams.tdecayon.store(1);
    checkbutton("win.tdecayon");
  }
  guisleep(300);
}

void onclose() { closerequest.store(1); }

// Steps 3 to 8 of a run: the window at a visible place, its controls, the lists.
void buildwindow() {
  const std::string caption = ringoutwindowcaption(modulefolder);
  guiinit();
  setbackcolor(250, 200, 0);

  // A position saved on a larger desktop (or off it) is pulled back on screen.
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  const int x = std::min(std::max(ringoutplace.x.load(), 0), width - 300);
  const int y = std::min(std::max(ringoutplace.y.load(), 0), height - 150);
  ringoutplace.x.store(x);
  ringoutplace.y.store(y);

  addcombobox("win.gain", onlist<gainlist>, 20, 23, 60, 500);
  addcombobox("win.kdecay", onlist<kdecaylist>, 90, 23, 83, 500);
  addcombobox("win.tdecay", onlist<tdecaylist>, 183, 23, 92, 500);
  addcombobox("win.decay", onlist<decaylist>, 183, 65, 92, 500);
  addcombobox("win.rate", onlist<ratelist>, 90, 65, 83, 500);
  addcheckbox("win.tdecayon", "decay", ontdecayon, 20, 68, 60, 20);
  openwindow("win", caption, x, y, 300, 135, 0xA0000, 0);
  trapclose("win", onclose);
  openhandle.store(gethandle("win"));

  if (ringoutparams.tdecayon.load() == 1) checkbutton("win.tdecayon");
  guisetfocus("win.gain");
  for (const ListControl &control : listcontrols) {
    for (int position = 1; position <= ringoutlistcount[control.list]; position++)
      addcomboitem(control.name, ringoutlistentry(control.list, position));
    setcomboindex(control.name, ringoutlistposition(control.list, ringoutparams));
  }
}

}  // namespace

int ringoutwindow() {
  // One toolkit instance per module: a second run at the same time would share
  // its tables, so it leaves at once.
  if (ringoutwindowruns.fetch_add(1) != 0) {
    ringoutwindowruns.fetch_sub(1);
    return 0;
  }
  // The close request is not cleared here: one made since the thread was
  // started (the host may ask before this thread has even begun) is for this
  // run. A request is used up when the run it ended is over (below).
  buildwindow();

  while (guikeydown(27) == 0 && closerequest.load() == 0) {
    guiscan();
    guisleep(100);
  }

  int x = ringoutplace.x.load(), y = ringoutplace.y.load(), width = 0, height = 0;
  getguirect("win", x, y, width, height);
  ringoutplace.x.store(x);
  ringoutplace.y.store(y);
  ringoutwritesettings(settingspath.c_str(), ringoutparams, ringoutplace);

  openhandle.store(nullptr);
  guiclose("nomsg");
  closerequest.store(0);
  ringoutwindowruns.fetch_sub(1);
  return 0;
}

void ringoutwindowtofront() {
  if (HWND window = openhandle.load()) SetForegroundWindow(window);
}
