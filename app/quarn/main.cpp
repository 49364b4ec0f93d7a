// roomcaster_quarn: the live room-sound processor with its window of controls.
// A windowed program; the settings file is read from and written to the
// current directory. One option: --audio waveform|wasapi, the audio back end
// (the waveform API when not given). Other arguments are ignored.
#include <cstdlib>
#include <cstring>

#include "app/quarn/quarnapp.h"
#include "engine/engine.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const AudioBackend *backend = &waveformbackend;
  for (int i = 1; i < __argc; ++i) {
    if (std::strcmp(__argv[i], "--audio") != 0) continue;
    if (i + 1 >= __argc || !audiobackendnamed(__argv[++i], backend)) {
      MessageBoxA(nullptr, "--audio takes waveform or wasapi", "roomcaster_quarn", MB_OK | MB_ICONERROR);
      return 2;
    }
  }
  engineinit();
  runquarn(backend);
}
