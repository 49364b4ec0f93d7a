// usage_test.cpp: the usage blocks of the chief headers, compiled, so a usage
// line that no longer matches a signature breaks this build.
//
// The convention for a usage block (tests/usage.py takes it out of a header):
//   - It opens the header: the first run of lines of the opening comment that
//     are indented by three spaces after "//". A blank "//" line or a line of
//     prose ends it; what comes after is prose again.
//   - Each line is C++ as a caller writes it, statements ending in ";".
//     Equalities (gainentry(41) == "krev100";) state a result and compile too.
//   - What follows "//" on a line explains it and is not compiled.
//   - "..." stands for the caller's own code (the program runs, the block
//     continues) and compiles as "{}" ("p{...}" as "p{}").
//   - A name the caller brings (a path, a sample block, a callback) is not
//     declared in the block: it is a parameter of the block's function here.
//
// Each block is included into a function of its own below, with #line
// directives pointing at the header, so an error names the header's line. The
// portable headers are compiled in the native build, the Win32 ones in the
// Windows build. Nothing here runs: the build is the test (ctest usage_blocks
// builds it). A header is added by listing it in tests/CMakeLists.txt
// (usageheaders) and giving its block a function here.
#include <cstdint>
#include <cstdio>
#include <string>

#include "app/live/liveoptions.h"
#include "app/live/livestatus.h"
#include "app/looptest/loopvalues.h"
#include "app/panel/panelvalues.h"
#include "app/render/render.h"
#include "app/settings/presetfile.h"
#include "app/settings/settingsfile.h"
#include "engine/engine.h"
#include "engine/playbackport.h"
#include "howlcut/howlcutdsp.h"
#include "howlcut/howlcutstate.h"
#include "numberlines/numberlines.h"
#include "pluginhost/pluginguard.h"
#include "pluginhost/pluginhost.h"
#include "pluginhost/pluginslot.h"
#include "ringout/ringoutdsp.h"

using faultcatcher = uint32_t (*)(void (*body)(void *context), void *context);

int numberlinesusageblock(const char *path) {
#include "numberlines/numberlines.h.inc"
  return 0;
}

int engineusageblock(double (*mymonotonicclock)(), PlaybackPort &port, faultcatcher catcher, double now,
                const int16_t *samples, int count) {
#include "engine/engine.h.inc"
  return 0;
}

int playbackportusageblock() {
#include "engine/playbackport.h.inc"
  return 0;
}

int pluginslotusageblock(pluginproc_fn myproc, int n) {
#include "pluginhost/pluginslot.h.inc"
  return 0;
}

int pluginguardusageblock(faultcatcher mycatcher, const int16_t *samples, int count, int n) {
#include "pluginhost/pluginguard.h.inc"
  return 0;
}

int pluginhostusageblock(const char *path, int n) {
#include "pluginhost/pluginhost.h.inc"
  return 0;
}

int howlcutdspusageblock(float &y, float x) {
#include "howlcut/howlcutdsp.h.inc"
  return 0;
}

int ringoutdspusageblock(float &y, float x) {
#include "ringout/ringoutdsp.h.inc"
  return 0;
}

int panelvaluesusageblock(const StatusValues &status, float vupeak, float inputmeter, float testgain, int32_t play) {
#include "app/panel/panelvalues.h.inc"
  return 0;
}

int loopvaluesusageblock(float &looplevel, float testlevel, float quiet, float &testgain, float testpeak) {
#include "app/looptest/loopvalues.h.inc"
  return 0;
}

int settingsfileusageblock() {
#include "app/settings/settingsfile.h.inc"
  return 0;
}

int presetfileusageblock() {
#include "app/settings/presetfile.h.inc"
  return 0;
}

int renderusageblock(int argc, char **argv) {
#include "app/render/render.h.inc"
  return 0;
}

int liveoptionsusageblock(int argc, const char *const *argv) {
#include "app/live/liveoptions.h.inc"
  return 0;
}

int livestatususageblock(double seconds) {
#include "app/live/livestatus.h.inc"
  return 0;
}

#ifdef _WIN32
#include "app/audiocycle/audiocycle.h"
#include "app/looptest/looptest.h"
#include "app/panel/panel.h"
#include "app/quarn/quarnapp.h"
#include "app/settings/presetflows.h"
#include "engine/devices/livedevices.h"
#include "gui_quarn/gui_quarn.h"

int guiquarnusageblock(guicallback onenter, guicallback onclose) {
#include "gui_quarn/gui_quarn.h.inc"
}

int livedevicesusageblock(int wavein, int waveout) {
#include "engine/devices/livedevices.h.inc"
  return 0;
}

int audiocycleusageblock(int number, int waveout) {
#include "app/audiocycle/audiocycle.h.inc"
  return 0;
}

int quarnappusageblock(const AudioBackend *backend) {
#include "app/quarn/quarnapp.h.inc"
}

int panelusageblock() {
#include "app/panel/panel.h.inc"
  return 0;
}

int presetflowsusageblock() {
#include "app/settings/presetflows.h.inc"
  return 0;
}

int looptestusageblock() {
#include "app/looptest/looptest.h.inc"
  return 0;
}
#endif
