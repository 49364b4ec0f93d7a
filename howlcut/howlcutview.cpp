// howlcutview.cpp: the window's plot, notch rows and sensitivity list.
// Thread: the window thread.
#include "howlcut/howlcutview.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

// The plot's frequency span, from the display's own first and last point.
float lowest() { return howldisplayfrequency(0); }
float highest() { return howldisplayfrequency(howldisplaybins - 1); }

// The frequency at a column's position (x may lie between columns).
float columnfrequency(float x, int width) {
  const float share = width > 1 ? x / static_cast<float>(width - 1) : 0.0f;
  return lowest() * std::pow(highest() / lowest(), share);
}

float pointlevel(const HowlSnapshot &snapshot, int i) {
  return std::isfinite(snapshot.spectrum[i]) ? snapshot.spectrum[i] : howlplotfloor;
}

// The first display point at or above a frequency (howldisplaybins if none).
int firstpointfrom(float frequency) {
  int below = -1, above = howldisplaybins;  // the display points rise with i
  while (above - below > 1) {
    const int middle = (below + above) / 2;
    (howldisplayfrequency(middle) < frequency ? below : above) = middle;
  }
  return above;
}

// A column's level: the loudest display point inside the column, so that a
// narrow peak keeps its height; between points, the level on the straight line
// joining its two neighbours (on the log-frequency scale). A point that is not
// a number counts as the floor.
float columnlevel(const HowlSnapshot &snapshot, int x, int width) {
  const float centre = columnfrequency(static_cast<float>(x), width);
  const int above = firstpointfrom(centre);
  float level;
  if (above == 0) level = pointlevel(snapshot, 0);
  else if (above == howldisplaybins) level = pointlevel(snapshot, howldisplaybins - 1);
  else {
    const float f0 = howldisplayfrequency(above - 1), f1 = howldisplayfrequency(above);
    const float share = std::log(centre / f0) / std::log(f1 / f0);
    level = pointlevel(snapshot, above - 1) + share * (pointlevel(snapshot, above) - pointlevel(snapshot, above - 1));
  }
  const float end = columnfrequency(static_cast<float>(x) + 0.5f, width);
  for (int i = firstpointfrom(columnfrequency(static_cast<float>(x) - 0.5f, width));
       i < howldisplaybins && howldisplayfrequency(i) < end; i++)
    level = std::max(level, pointlevel(snapshot, i));
  return level;
}

void put(uint32_t *pixels, int width, int height, int x, int y, uint32_t colour) {
  if (x >= 0 && x < width && y >= 0 && y < height) pixels[static_cast<size_t>(y) * width + x] = colour;
}

}  // namespace

void howlsnapshot(const HowlDisplay &display, HowlSnapshot &snapshot) {
  snapshot.analyses = display.analyses.load(relaxed);
  snapshot.placed = display.placed.load(relaxed);
  for (int i = 0; i < howldisplaybins; i++) snapshot.spectrum[i] = display.spectrum[i].load(relaxed);
  for (int n = 0; n < howlnotchcount; n++) {
    snapshot.frequency[n] = display.notch[n].frequency.load(relaxed);
    snapshot.depth[n] = display.notch[n].depth.load(relaxed);
    snapshot.age[n] = display.notch[n].age.load(relaxed);
  }
}

int howlplotx(float frequency, int width) {
  if (!(frequency >= lowest() && frequency <= highest()) || width < 1) return -1;
  const float share = std::log(frequency / lowest()) / std::log(highest() / lowest());
  return std::min(width - 1, static_cast<int>(std::lround(share * static_cast<float>(width - 1))));
}

int howlploty(float db, int height) {
  if (!(db <= howlplottop)) db = std::isnan(db) ? howlplotfloor : howlplottop;
  db = std::max(db, howlplotfloor);
  const float share = (howlplottop - db) / (howlplottop - howlplotfloor);
  return static_cast<int>(std::lround(share * static_cast<float>(height - 1)));
}

void howldrawplot(const HowlSnapshot &snapshot, uint32_t *pixels, int width, int height) {
  if (pixels == nullptr || width < 1 || height < 1) return;
  std::fill(pixels, pixels + static_cast<size_t>(width) * height, howlbackground);

  // The spectrum filled from the floor up to its level, then the grid over
  // it, then the trace, joined column to column.
  std::vector<int> top(static_cast<size_t>(width));
  for (int x = 0; x < width; x++) {
    top[x] = howlploty(columnlevel(snapshot, x, width), height);
    for (int below = top[x] + 1; below < height; below++) put(pixels, width, height, x, below, howlfill);
  }
  auto gridpoint = [&](int x, int y) {
    if (x >= 0 && x < width && y >= 0 && y < height) {
      uint32_t &pixel = pixels[static_cast<size_t>(y) * width + x];
      pixel = pixel == howlfill ? howlgridonfill : howlgrid;
    }
  };
  for (float db = howlplottop - 20.0f; db > howlplotfloor; db -= 20.0f)
    for (int x = 0, y = howlploty(db, height); x < width; x++) gridpoint(x, y);
  for (float frequency : {100.0f, 1000.0f, 10000.0f})
    for (int y = 0, x = howlplotx(frequency, width); x >= 0 && y < height; y++) gridpoint(x, y);
  for (int x = 0; x < width; x++) {
    const int previous = x > 0 ? top[x - 1] : top[x];
    for (int row = std::min(previous, top[x]); row <= std::max(previous, top[x]); row++)
      put(pixels, width, height, x, row, howltrace);
  }

  // The notches: a line at the frequency, a wedge from the top as deep as the cut.
  const float rowsperdb = static_cast<float>(height - 1) / (howlplottop - howlplotfloor);
  for (int n = 0; n < howlnotchcount; n++) {
    const int x = howlplotx(snapshot.frequency[n], width);
    if (x < 0) continue;
    for (int y = 0; y < height; y += 2) put(pixels, width, height, x, y, howlnotchcolour);
    const float depth = std::isfinite(snapshot.depth[n]) ? std::clamp(snapshot.depth[n], 0.0f, 60.0f) : 0.0f;
    const int deep = static_cast<int>(std::lround(depth * rowsperdb));
    for (int y = 0; y <= deep; y++) {
      const int half = (deep - y) * 5 / std::max(deep, 1);
      for (int dx = -half; dx <= half; dx++) put(pixels, width, height, x + dx, y, howlnotchcolour);
    }
  }
}

std::vector<std::string> howlnotchrows(const HowlSnapshot &snapshot) {
  std::vector<int> active;
  for (int n = 0; n < howlnotchcount; n++)
    if (std::isfinite(snapshot.frequency[n]) && snapshot.frequency[n] > 0.0f) active.push_back(n);
  std::stable_sort(active.begin(), active.end(),
                   [&](int a, int b) { return snapshot.frequency[a] < snapshot.frequency[b]; });
  std::vector<std::string> rows;
  for (int n : active) {
    const float depth = std::isfinite(snapshot.depth[n]) ? std::clamp(snapshot.depth[n], 0.0f, 999.0f) : 0.0f;
    const float age = std::isfinite(snapshot.age[n]) ? std::clamp(snapshot.age[n], 0.0f, 1e6f) : 0.0f;
    char row[80];
    std::snprintf(row, sizeof row, "%.0f Hz   -%.1f dB   %d s", std::min(snapshot.frequency[n], 1e6f), depth,
                  static_cast<int>(age));
    rows.push_back(row);
  }
  return rows;
}

std::string howlsensitivityentry(int position) {
  switch (position) {
  case 1: return "speech";
  case 2: return "mixed";
  case 3: return "music";
  }
  return "";
}

int32_t howlsensitivityvalue(int position) {
  if (position < 1 || position > howlsensitivitycount) return howlmixed;
  return position - 1;
}

int howlsensitivityposition(int32_t sensitivity) {
  return std::clamp(sensitivity, int32_t{howlspeech}, int32_t{howlmusic}) + 1;
}
