// paneldisplay.cpp: the status text in "win.msg" and the two level bars in
// "win.vuout", refreshed by the main loop at most every 0.24 s.
#include "app/panel/panel.h"
#include "app/panel/panelvalues.h"
#include "app/quarn/quarnapp.h"
#include "engine/devices/liveclock.h"
#include "engine/engine.h"

// A filled box, corners inclusive; pixels outside the image are skipped.
static void fillbox(imagebuffer *image, int x1, int y1, int x2, int y2, uint32_t colour) {
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x) setimagepixel(image, x, y, colour);
}

static uint32_t rgb(int red, int green, int blue) {
  return 0xFF000000u | static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 |
         static_cast<uint32_t>(blue);
}

void refreshpanel() {
  // The capture object's copy of the latest block stays valid until the device
  // closes, which happens on this thread.
  const int32_t count = capturedcount;
  const int16_t *block = capturedblock;
  StatusValues v{engine.freeout, count, block && count > 0 ? block[0] : 0, engine.testgain, engine.inputpeak};
  settexthandle(app.msghandle, statustext(v));

  const LevelBars bars = levelbars(engine.vupeak, engine.inputmeter, engine.testgain, engine.play);
  if (!app.vuimage) return;
  fillbox(app.vuimage, bars.peak, 0, 42, 15, rgb(250, 250, 250));
  fillbox(app.vuimage, 0, 0, bars.peak, 7, rgb(0, 155, 0));
  fillbox(app.vuimage, 0, 8, bars.meter, 17, rgb(0, 155, 0));
}
