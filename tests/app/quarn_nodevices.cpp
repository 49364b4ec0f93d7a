// roomcaster_quarn on a machine without sound devices: the real program with a
// waveform table that lists no device and opens none.
#include "app/quarn/quarnapp.h"
#include "engine/devices/wavedevices.h"

static UINT nodevices() { return 0; }
static MMRESULT noinput(LPHWAVEIN, UINT, LPCWAVEFORMATEX, DWORD_PTR, DWORD_PTR, DWORD) { return MMSYSERR_NODRIVER; }
static MMRESULT nooutput(LPHWAVEOUT, UINT, LPCWAVEFORMATEX, DWORD_PTR, DWORD_PTR, DWORD) { return MMSYSERR_NODRIVER; }

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  waveapi.innumdevs = nodevices;
  waveapi.outnumdevs = nodevices;
  waveapi.inopen = noinput;
  waveapi.outopen = nooutput;
  engineinit();
  runquarn(&waveformbackend);
}
