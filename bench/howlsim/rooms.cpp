// rooms.cpp: the set of rooms and their responses (method in rooms.h).
#include "bench/howlsim/rooms.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "bench/howlsim/simrandom.h"

namespace {

constexpr double fs = 44100.0;
constexpr double soundspeed = 343.0;  // m/s

double surface(const RoomSpec& r) {
  const double* s = r.size;
  return 2 * (s[0] * s[1] + s[0] * s[2] + s[1] * s[2]);
}

// Sabine: RT60 = 0.161·V / (S·alpha).
double absorption(const RoomSpec& r) { return 0.161 * roomvolume(r) / (surface(r) * r.rt60); }

void clampinside(const RoomSpec& r, double p[3]) {
  for (int d = 0; d < 3; ++d) p[d] = std::clamp(p[d], 0.4, r.size[d] - 0.4);
}

// Second-order section (RBJ cookbook), run over the response in place.
void biquad(std::vector<double>& x, double f, bool highpass) {
  const double w = 2 * M_PI * f / fs, c = std::cos(w), alpha = std::sin(w) / (2 * M_SQRT1_2);
  const double a0 = 1 + alpha;
  double b0 = highpass ? (1 + c) / 2 : (1 - c) / 2, b1 = highpass ? -(1 + c) : 1 - c, b2 = b0;
  const double a1 = -2 * c / a0, a2 = (1 - alpha) / a0;
  b0 /= a0, b1 /= a0, b2 /= a0;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  for (double& v : x) {
    const double y = b0 * v + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1, x1 = v, y2 = y1, y1 = y;
    v = y;
  }
}

void addtap(std::vector<double>& h, double delay, double gain) {
  const size_t i = static_cast<size_t>(delay);
  const double frac = delay - static_cast<double>(i);
  if (i + 1 >= h.size()) return;
  h[i] += gain * (1 - frac);
  h[i + 1] += gain * frac;
}

std::vector<RoomSpec> makerooms() {
  // 20 rooms: volumes spaced evenly on a log scale from 30 to 2000 m³, RT60s
  // from 0.3 to 1.2 s in a scrambled order (raised where the walls could not
  // absorb enough for it), distances from 1 to 6 m where the room allows.
  std::vector<RoomSpec> rooms;
  static std::vector<std::string> names;
  names.clear();
  for (int i = 0; i < 20; ++i) {
    RoomSpec r{};
    const double volume = 30 * std::pow(2000.0 / 30, i / 19.0);
    const double height = std::clamp(2.2 + 0.5 * std::cbrt(volume), 2.7, 8.0);
    const double width = std::sqrt(volume / height / 1.5);
    r.size[0] = 1.5 * width, r.size[1] = width, r.size[2] = height;
    r.rt60 = 0.3 + 0.9 * ((i * 7) % 20) / 19.0;
    r.rt60 = std::max(r.rt60, 0.161 * volume / (surface(r) * 0.7));
    const double distance = 1.0 + 5.0 * ((i * 3) % 20) / 19.0;
    r.speaker[0] = 0.8, r.speaker[1] = 0.35 * width, r.speaker[2] = 1.7;
    const double angle = 0.25 + 0.05 * (i % 5);
    r.mic[0] = r.speaker[0] + distance * std::cos(angle);
    r.mic[1] = r.speaker[1] + distance * std::sin(angle);
    r.mic[2] = 1.4;
    clampinside(r, r.mic);
    // Carried 40 % of the way toward the loudspeaker, and 0.3 m aside.
    for (int d = 0; d < 3; ++d) r.moved[d] = r.mic[d] + 0.4 * (r.speaker[d] - r.mic[d]);
    r.moved[1] += 0.3;
    clampinside(r, r.moved);
    r.seed = 1000 + 17 * i;
    char label[64];
    std::snprintf(label, sizeof label, "%02d %.0fm3 %.2fs %.1fm", i + 1, volume, r.rt60, roomdistance(r, r.mic));
    names.push_back(label);
    rooms.push_back(r);
  }
  for (int i = 0; i < 20; ++i) rooms[i].name = names[i].c_str();
  return rooms;
}

}  // namespace

double roomvolume(const RoomSpec& r) { return r.size[0] * r.size[1] * r.size[2]; }

double roomdistance(const RoomSpec& r, const double mic[3]) {
  return std::sqrt(std::pow(mic[0] - r.speaker[0], 2) + std::pow(mic[1] - r.speaker[1], 2) +
                   std::pow(mic[2] - r.speaker[2], 2));
}

const std::vector<RoomSpec>& simrooms() {
  static const std::vector<RoomSpec> rooms = makerooms();
  return rooms;
}

std::vector<float> roomresponse(const RoomSpec& room, const double mic[3], uint64_t seed) {
  const size_t length = static_cast<size_t>(std::ceil(room.rt60 * fs));
  std::vector<double> h(length, 0.0);
  const double beta = std::sqrt(1 - std::min(absorption(room), 0.95));

  // Image sources: each cell n in -1..1 per axis, each parity q in 0..1.
  double directdelay = 0;
  for (int nx = -1; nx <= 1; ++nx)
    for (int ny = -1; ny <= 1; ++ny)
      for (int nz = -1; nz <= 1; ++nz)
        for (int q = 0; q < 8; ++q) {
          const int n[3] = {nx, ny, nz};
          double d2 = 0;
          int bounces = 0;
          for (int a = 0; a < 3; ++a) {
            const int qa = (q >> a) & 1;
            const double image = (1 - 2 * qa) * room.speaker[a] + 2 * n[a] * room.size[a];
            d2 += (image - mic[a]) * (image - mic[a]);
            bounces += std::abs(n[a] - qa) + std::abs(n[a]);
          }
          const double distance = std::sqrt(d2);
          const double gain = std::pow(beta, bounces) / distance;
          addtap(h, distance / soundspeed * fs, gain);
          if (bounces == 0) directdelay = distance / soundspeed * fs;
        }

  // The diffuse tail: its energy against the direct sound's is (r / rc)²,
  // the statistical reverberant field, which the early reflections join.
  const double critical = 0.057 * std::sqrt(2 * roomvolume(room) / room.rt60);
  const double tailenergy = 1 / (critical * critical);
  const double rise = 0.02 * fs;  // the tail fades in over 20 ms after the direct sound
  SimRandom rng{seed};
  std::vector<double> tail(length, 0.0);
  double sum = 0;
  for (size_t i = static_cast<size_t>(directdelay) + 1; i < length; ++i) {
    const double t = (static_cast<double>(i) - directdelay);
    const double envelope = std::min(1.0, t / rise) * std::exp(-6.907755 * t / (room.rt60 * fs));
    tail[i] = envelope * simgauss(rng);
    sum += tail[i] * tail[i];
  }
  const double scale = sum > 0 ? std::sqrt(tailenergy / sum) : 0;
  for (size_t i = 0; i < length; ++i) h[i] += scale * tail[i];

  biquad(h, 80, true);
  biquad(h, 12000, false);
  return std::vector<float>(h.begin(), h.end());
}

RoomPaths roompaths(const RoomSpec& room) {
  return {roomresponse(room, room.mic, room.seed), roomresponse(room, room.moved, room.seed + 1)};
}
