// liveclock.cpp: the live engine's clock, the platform's performance counter in seconds.
// Any thread; one counter read per call, no lock.
#include <windows.h>

#include "engine/devices/liveclock.h"

static double countseconds() {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);  // fixed at boot
  return 1.0 / static_cast<double>(f.QuadPart);
}

static const double secondspercount = countseconds();

double liveclock() {
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * secondspercount;
}
