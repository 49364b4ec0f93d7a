// simrandom.h: deterministic random numbers for the simulator: the same seed
// gives the same rooms, noise and runs on every machine.
#pragma once
#include <cmath>
#include <cstdint>

struct SimRandom {
  uint64_t s;  // splitmix64 state
};

inline uint64_t simnext(SimRandom& r) {
  uint64_t z = (r.s += 0x9e3779b97f4a7c15ull);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
  return z ^ (z >> 31);
}

// Uniform in (0, 1).
inline double simuniform(SimRandom& r) { return (static_cast<double>(simnext(r) >> 11) + 0.5) / 9007199254740992.0; }

// Standard normal (Box-Muller, one value per call).
inline double simgauss(SimRandom& r) {
  const double u = simuniform(r), v = simuniform(r);
  return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * v);
}
