// roomcaster_quarn: the live room-sound processor with its window of controls.
// A windowed program; the settings file is read from and written to the
// current directory. Its arguments:
//   --audio waveform|wasapi   the audio back end (the waveform API when not given)
//   --help, --version         a message box, then exit 0
// Anything else is refused with a message box naming it, exit 2: a typo never
// starts the program on a path the user did not ask for.
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/quarn/quarnapp.h"
#include "engine/engine.h"

static const char quarnhelp[] =
    "roomcaster_quarn [--audio waveform|wasapi]\n"
    "\n"
    "--audio wasapi\tthe audio-client interface: a shorter, steadier delay\n"
    "\t\t(\"roomcaster_quarn low latency.cmd\" starts the program so)\n"
    "--audio waveform\tthe waveform API, the start value\n"
    "--help\t\tthis text\n"
    "--version\t\tthe version\n"
    "\n"
    "The settings file roomcaster_quarn.ini is read from and written to the\n"
    "folder the program is started in.";

static int refuse(const std::string &text) {
  MessageBoxA(nullptr, (text + "\n\nroomcaster_quarn --help lists the arguments.").c_str(), "roomcaster_quarn",
              MB_OK | MB_ICONERROR);
  return 2;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const AudioBackend *backend = &waveformbackend;
  for (int i = 1; i < __argc; ++i) {
    const char *a = __argv[i];
    if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "--version") == 0) {
      const bool help = a[2] == 'h';
      MessageBoxA(nullptr, help ? quarnhelp : "roomcaster_quarn " QUARN_VERSION, "roomcaster_quarn",
                  MB_OK | MB_ICONINFORMATION);
      return 0;
    }
    if (std::strcmp(a, "--audio") != 0) return refuse(std::string("unknown argument '") + a + "'");
    if (i + 1 >= __argc) return refuse("--audio takes waveform or wasapi");
    if (!audiobackendnamed(__argv[++i], backend))
      return refuse(std::string("--audio takes waveform or wasapi, not '") + __argv[i] + "'");
  }
  engineinit();
  runquarn(backend);
}
