// howlcutwindow.cpp: howlcut's window: the spectrum with the notches on it,
// the list of active notches, the sensitivity, the on/off switch and "reset";
// howlcut.ini written when the window ends.
// Thread: howlwindow and every callback run on the window thread. Settings are
// stored whole, so the audio thread acts on a choice from its next sample; the
// display values are read whole, ten times a second, without a lock.
#include "howlcut/howlcutwindow.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "gui_quarn/gui_quarn.h"
#include "howlcut/howlcutmodule.h"
#include "howlcut/howlcutview.h"

namespace {

// Number of howlwindow runs in progress (0 or 1): the toolkit instance is the
// module's one, so a second run at the same time leaves at once.
std::atomic<int32_t> runs{0};

constexpr int windowwidth = 540, windowheight = 380;
constexpr int plotx = 10, ploty = 10, plotwidth = 512, plotheight = 180;

// What the window shows now, so that only news is drawn again.
struct Shown {
  int32_t analyses = -1;          // -1: nothing drawn yet
  int32_t placed = -1;
  std::vector<std::string> rows;  // the notch list's rows
};

void onsensitivity() {
  int position = 0;
  getcomboindex("win.sensitivity", position);
  howlparams.sensitivity.store(howlsensitivityvalue(position));
}

// The "on" check box switches the suppressor; the mark follows the value.
void onon() {
  if (howlparams.on.load() == 1) {
    howlparams.on.store(0);
    uncheckbutton("win.on");
  } else {
    howlparams.on.store(1);
    checkbutton("win.on");
  }
}

// Every notch goes; the audio thread does it at its next sample.
void onreset() { howlparams.reset.store(1); }

void onclose() { howlcloserequest.store(1); }

// The frequency scale's labels under the plot, centred on their grid lines.
void addlabels() {
  const struct { const char *name, *text; float frequency; } labels[] = {
      {"win.f100", "100 Hz", 100.0f}, {"win.f1k", "1 kHz", 1000.0f}, {"win.f10k", "10 kHz", 10000.0f}};
  for (const auto &label : labels)
    addstatic(label.name, label.text, plotx + howlplotx(label.frequency, plotwidth) - 25, ploty + plotheight + 2, 50,
              16, SS_CENTER);
  addstatic("win.scale", "grid: 20 dB", plotx + plotwidth - 110, 214, 110, 16, SS_RIGHT);
}

void buildwindow() {
  const std::string caption = howlwindowcaption(howlfolder);
  guiinit();
  setbackcolor(170, 205, 225);

  // A position saved on a larger desktop (or off it) is pulled back on screen.
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  const int x = std::max(std::min(howlplace.x.load(), width - windowwidth), 0);
  const int y = std::max(std::min(howlplace.y.load(), height - windowheight), 0);
  howlplace.x.store(x);
  howlplace.y.store(y);

  addgraphicbox("win.plot", plotx, ploty, plotwidth, plotheight, "gfx", 0);
  addlabels();
  addstatic("win.notchlabel", "notches: frequency, cut, age", 10, 214, 300, 16, 0);
  addlistbox("win.notches", 0, 10, 232, 300, 104, WS_VSCROLL | WS_BORDER | LBS_NOTIFY);
  addcombobox("win.sensitivity", onsensitivity, 330, 232, 100, 200);
  addcheckbox("win.on", "on", onon, 330, 266, 80, 20);
  addbutton("win.reset", "reset", onreset, 330, 294, 80, 26, 0);
  addstatic("win.placed", "", 440, 236, 90, 16, 0);
  openwindow("win", caption, x, y, windowwidth, windowheight, 0xA0000, 0);
  trapclose("win", onclose);

  for (int position = 1; position <= howlsensitivitycount; position++)
    addcomboitem("win.sensitivity", howlsensitivityentry(position));
  setcomboindex("win.sensitivity", howlsensitivityposition(howlparams.sensitivity.load()));
  if (howlparams.on.load() == 1) checkbutton("win.on");
  guisetfocus("win.sensitivity");
}

// Draws what changed since the last look.
void refresh(Shown &shown) {
  static HowlSnapshot snapshot;  // window thread only; ~1 KB kept off the stack
  howlsnapshot(howldisplay, snapshot);
  if (snapshot.analyses != shown.analyses) {
    if (imagebuffer *image = getgraphicbox("win.plot")) {
      howldrawplot(snapshot, image->pixels.data(), image->width, image->height);
      redrawcontrol("win.plot");
    }
    shown.analyses = snapshot.analyses;
  }
  std::vector<std::string> rows = howlnotchrows(snapshot);
  if (rows != shown.rows) {
    guistrings list{""};
    list.insert(list.end(), rows.begin(), rows.end());
    setlistboxlist("win.notches", list);
    shown.rows = std::move(rows);
  }
  if (snapshot.placed != shown.placed) {
    settext("win.placed", "placed " + std::to_string(snapshot.placed));
    shown.placed = snapshot.placed;
  }
}

}  // namespace

int howlwindow() {
  if (runs.fetch_add(1) != 0) {
    runs.fetch_sub(1);
    return 0;
  }
  // The close request is not cleared here: one made since the thread was
  // started (the host may ask before this thread has even begun) is for this
  // run. A request is used up when the run it ended is over (below).
  buildwindow();
  Shown shown;
  while (guikeydown(27) == 0 && howlcloserequest.load() == 0) {
    guiscan();
    refresh(shown);
    guisleep(100);
  }

  int x = howlplace.x.load(), y = howlplace.y.load(), width = 0, height = 0;
  getguirect("win", x, y, width, height);
  howlplace.x.store(x);
  howlplace.y.store(y);
  howlwritesettings(howlsettingsfile.c_str(), howlparams, howlplace);

  guiclose("nomsg");
  howlcloserequest.store(0);
  runs.fetch_sub(1);
  return 0;
}
