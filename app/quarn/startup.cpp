// startup.cpp: the sound device lists of start-up and the choices the device lists offer.
#include "engine/devices/wavedevices.h"

#include <algorithm>

#include "app/audiocycle/audiocycle.h"
#include "app/quarn/quarnapp.h"

// Entry d + 1 is device d's product name; entry 0 and unused entries stay empty.
void listdevices() {
  app.inputdevicenames.assign(devicenameslots, "");
  app.outputdevicenames.assign(devicenameslots, "");
  app.inputdevicecount = std::min<int>(listeddevicecount, static_cast<int>(waveapi.innumdevs()));
  for (int d = 0; d < app.inputdevicecount; ++d) {
    WAVEINCAPSA caps{};
    if (waveapi.incaps(d, &caps, sizeof caps) == MMSYSERR_NOERROR)
      app.inputdevicenames[d + 1] = std::string(caps.szPname, strnlen(caps.szPname, sizeof caps.szPname));
  }
  app.outputdevicecount = std::min<int>(listeddevicecount, static_cast<int>(waveapi.outnumdevs()));
  for (int d = 0; d < app.outputdevicecount; ++d) {
    WAVEOUTCAPSA caps{};
    if (waveapi.outcaps(d, &caps, sizeof caps) == MMSYSERR_NOERROR)
      app.outputdevicenames[d + 1] = std::string(caps.szPname, strnlen(caps.szPname, sizeof caps.szPname));
  }
}

// The list a user chooses from: position 1 the system default (-1), position
// d + 2 device d, so a choice at position p opens device p - 2, the device whose
// name is shown there. A device without a name is shown by its number, since an
// empty entry would end the list.
guistrings devicechoices(const guistrings &names, int count) {
  guistrings list{"", defaultdevicename};
  for (int d = 0; d < count; ++d) {
    const std::string &name = names[d + 1];
    list.push_back(name.empty() ? "device " + std::to_string(d) : name);
  }
  return list;
}
