// wavedevicelist.cpp: devices by product name. Device numbers can change from one
// process start to the next as devices come and go; names stay.
// User-interface thread.
#include <cstring>

#include "engine/devices/wavedevices.h"

int findwavein(const char *name) {
  for (UINT i = 0, n = waveInGetNumDevs(); i < n; ++i) {
    WAVEINCAPSA c;
    if (waveInGetDevCapsA(i, &c, sizeof c) == 0 && std::strcmp(c.szPname, name) == 0) return static_cast<int>(i);
  }
  return -2;
}

int findwaveout(const char *name) {
  for (UINT i = 0, n = waveOutGetNumDevs(); i < n; ++i) {
    WAVEOUTCAPSA c;
    if (waveOutGetDevCapsA(i, &c, sizeof c) == 0 && std::strcmp(c.szPname, name) == 0) return static_cast<int>(i);
  }
  return -2;
}
