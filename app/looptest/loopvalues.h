// loopvalues.h: the arithmetic and the texts of the loop test, apart from its timing.
//
//   looplevel = settlestep(looplevel, testlevel);       // 120 times, 25 ms apart
//   if (!noisetoostrong(quiet, looplevel)) looplevel -= quiet;
//   testgain = loopceiling(looplevel);                  // 0.001 .. 3
//   loopwarning(testpeak, testgain) == "warning loop !  2412/gain=0.090";
//
// Portable; user-interface thread.
#pragma once
#include <string>

// The loop level follows the measured tone level up, 35 % of the way each step.
float settlestep(float looplevel, float testlevel);
// The room's own level at the tone's frequency is too close to the loop's to
// subtract it (above 35 % of it).
bool noisetoostrong(float quietlevel, float looplevel);
// max(0.001, min(3, 2600 / (0.1 + y))), y = 4 x level x max(1, level / 1800):
// proportional up to a loop level of 1800, with the square of it above.
float loopceiling(float looplevel);
// The final question changes when the ceiling moved by more than 5 %.
bool ceilingchanged(float previous, float testgain);

std::string nolooptext(float testpeak, float testgain);       // "ok 12/3"
std::string loopwarning(float testpeak, float testgain);      // "warning loop !  2412/gain=0.090"
std::string noisequestion(float quietlevel, float looplevel); // "stop input before ! 200  400"
