// liveclock.h: the live engine's clock, a monotonic performance counter in
// seconds (Win32). Any thread; one counter read per call, no lock.
//
//   engineclock.now = liveclock;   // the live engine's clock (once, at start)
//   double t = liveclock();        // the same clock for timing the loop test, the status
#pragma once

double liveclock();
