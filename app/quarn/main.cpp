// roomcaster_quarn: the live room-sound processor with its window of controls.
// A windowed program: no console, no command-line arguments; the settings file
// is read from and written to the current directory.
#include "app/quarn/quarnapp.h"
#include "engine/engine.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  engineinit();
  runquarn();
}
