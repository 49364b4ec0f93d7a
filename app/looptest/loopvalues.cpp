// loopvalues.cpp: the loop test's arithmetic and texts.
#include "app/looptest/loopvalues.h"

#include <algorithm>
#include <cmath>

#include "app/panel/panelvalues.h"

float settlestep(float looplevel, float testlevel) {
  return looplevel + (std::max(testlevel, looplevel) - looplevel) * 0.35;
}

bool noisetoostrong(float quietlevel, float looplevel) { return quietlevel > 0.35 * looplevel; }

float loopceiling(float looplevel) {
  const double y = 4.0 * looplevel * std::max(1.0, looplevel / 1800.0);
  return static_cast<float>(std::max(0.001, std::min(3.0, 2600.0 / (0.1 + y))));
}

bool ceilingchanged(float previous, float testgain) { return std::fabs(previous - testgain) > 0.05 * previous; }

std::string nolooptext(float testpeak, float testgain) {
  return "ok " + std::to_string(integerpart(testpeak)) + "/" + cutnumber(testgain, 7, 5);
}

std::string loopwarning(float testpeak, float testgain) {
  return "warning loop !  " + std::to_string(integerpart(testpeak)) + "/gain=" + cutnumber(testgain, 7, 5);
}

std::string noisequestion(float quietlevel, float looplevel) {
  return "stop input before ! " + std::to_string(integerpart(quietlevel)) + "  " +
         std::to_string(integerpart(looplevel));
}
