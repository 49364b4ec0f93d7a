// looptest.cpp: the loop test. Plays a tone of fixed amplitude into the room,
// listens for it on the capture side and turns the strength of what comes back
// into `testgain`, the highest output gain that will not howl.
//
//   quiet phase (1 s):   nothing played; the room's own level at the tone's frequency
//   tone phase (<= 2 s): the tone at gain 3; a real input peak above 2000 is a loop
//   settling (3 s):      the measured tone level followed into the loop level
//   ceiling:             testgain = max(0.001, min(3, 2600 / (0.1 + y)))
//
// The engine measures testpeak and testlevel on the real input while inputmode
// replaces what goes on to processing (99: the tone, 0: silence).
// Thread: user-interface thread, inside the main loop; messages keep flowing, so
// a quit request or a device change ends the tone phase early.
#include "app/looptest/loopvalues.h"
#include "app/looptest/looptest.h"
#include "gui_quarn/gui_quarn.h"
#include "engine/devices/liveclock.h"
#include "engine/engine.h"

static void modes(int input, int output) {
  engine.inputmode = input;
  engine.outputmode = output;
}

static bool stopasked() { return engine.quitrequest != 0 || guikeydown(VK_ESCAPE) != 0; }

// One settling step: the tone level decays unless the loop keeps feeding it.
static void settle(float &looplevel, int steps) {
  for (int i = 0; i < steps; ++i) {
    engine.testlevel = engine.testlevel * 0.8;
    guisleep(25);
    looplevel = settlestep(looplevel, engine.testlevel);
  }
}

static std::string ask(const std::string &question) {
  std::string answer;
  guiconfirm(question, "confirm", answer);
  return answer;
}

void looptest() {
  EngineState &e = engine;
  e.autolevel = 0.01f;
  modes(0, 0);
  const std::string start = ask("test loop ? (adjust gain)");
  modes(1, 1);
  if (start != "yes") return;
  const int32_t savedplay = e.play;
  const float savedgain = e.gain;
  modes(0, 0);
  guisleep(500);

  // Quiet phase: what the room brings at the tone's frequency by itself.
  e.testpeak = 0.0f;
  e.gain = 0.0f;
  e.play = 1;
  double noted = liveclock();
  guisleep(100);
  e.testlevel = 0.0f;
  while (!stopasked()) {
    guiscan();
    guisleep(20);
    if (liveclock() - noted > 1.0) break;
  }
  const float quietlevel = e.testlevel;

  // Tone phase.
  e.testlevel = 0.0f;
  e.gain = 3.0f;
  modes(99, 99);
  e.testpeak = 0.0f;
  noted = liveclock();
  float looplevel = 0.0f;
  bool loopfound = false;
  while (!stopasked()) {
    guiscan();
    guisleep(20);
    if (e.testpeak > 2000.0f) {
      loopfound = true;
      break;
    }
    if (liveclock() - noted > 2.0) break;
  }

  if (!loopfound) {
    modes(0, 0);
    e.testgain = 3.0f;
    guinotice(nolooptext(e.testpeak, e.testgain), "notice");
    modes(0, 0);
    guisleep(1000);
    e.gain = savedgain;
    e.play = savedplay;
    modes(1, 1);
    return;
  }

  modes(99, 99);
  settle(looplevel, 100);
  modes(99, 0);  // the tone is made but not played: the loop's echo dies away
  settle(looplevel, 20);
  modes(0, 0);

  // The room's own noise at the tone's frequency is not the loop's.
  if (noisetoostrong(quietlevel, looplevel))
    ask(noisequestion(quietlevel, looplevel));  // the answer is not used
  else
    looplevel = looplevel - quietlevel;

  const float previous = e.testgain;
  e.testgain = loopceiling(looplevel);
  guinotice(loopwarning(e.testpeak, e.testgain), "notice");
  modes(0, 0);
  guisleep(200);

  const std::string goon = ask(ceilingchanged(previous, e.testgain) ? "continue ?(changed)" : "continue ?");
  e.outputmode = goon == "yes" ? 1 : 0;
  e.gain = savedgain;
  e.play = savedplay;
  e.inputmode = 1;
}
