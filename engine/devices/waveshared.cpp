// waveshared.cpp: what the capture and playback objects share: the format
// record and the allocation of one buffer with its header.
// User-interface thread (create and destroy).
#include <new>

#include "engine/devices/wavedevices.h"

// 16-bit PCM, 2 channels interleaved, 44100 frames per second: 4 bytes a frame.
void fillwaveformat(WAVEFORMATEX &f) {
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = 2;
  f.nSamplesPerSec = samplerate;
  f.nAvgBytesPerSec = 4 * samplerate;  // 176400
  f.nBlockAlign = 4;
  f.wBitsPerSample = 16;
  f.cbSize = 0;
}

WAVEHDR *newwaveheader(DWORD bytes, int index) {
  char *data = new (std::nothrow) char[bytes]();
  WAVEHDR *hdr = data ? new (std::nothrow) WAVEHDR() : nullptr;
  if (!hdr) {
    delete[] data;
    return nullptr;
  }
  hdr->lpData = data;
  hdr->dwBufferLength = bytes;
  hdr->dwUser = static_cast<DWORD_PTR>(index);
  hdr->dwFlags = 0;
  return hdr;
}

void freewaveheader(WAVEHDR *hdr) {
  if (!hdr) return;
  delete[] hdr->lpData;
  delete hdr;
}
