// howlpeaks.cpp: peak candidates and their howl score. Thread: audio.
//
// A howl is a lone sine that grows steadily in one place. Each candidate is
// judged on the last analyses kept in history: its slopeness (the dB steps at
// its bin are positive and alike), its peakness (its level over its
// neighbours), its steadiness (its refined frequency stays put), whether it
// climbs past what its bin had held, and whether the places where the other
// partials of a note would be rose with it. A howl just above unity grows
// too slowly for the slope test; a run in one bin whose fitted line climbs
// steadily calls it instead. A howl fought by the level control climbs in
// bursts while its peak hops; its bin's level, taken segment by segment,
// still climbs by like steps, and that calls it.
#include "howlcut/howlpeaks.h"

#include <algorithm>
#include <cmath>

#include "howlcut/howlnotches.h"
#include "howlcut/howltransform.h"

namespace {

float clamp01(float v) { return std::min(std::max(v, 0.0f), 1.0f); }

int rowback(const HowlState& st, int back) { return (st.newest + howlhistory - back) % howlhistory; }

// The segment `back` whole segments before the newest whole one.
int segmentback(const HowlState& st, int back) {
  return static_cast<int>((st.analyses / howlsegment + howlsegments - back) % howlsegments);
}

}  // namespace

float howlpeakness(const HowlState& st, int row, int k) {
  const float* h = st.history[row];
  const float centre = howllevel(st, row, k);
  float sum = 0.0f;
  for (int m = howlneighbournear; m <= howlneighbourfar; m++) sum += 2.0f * centre - h[k - m] - h[k + m];
  return sum / (2 * (howlneighbourfar - howlneighbournear + 1));
}

float howlemergence(const HowlState& st, int k) {
  return howllevel(st, st.newest, k) - st.held[k];
}

bool howlharmonic(const HowlState& st, int k, float gap) {
  const int then = rowback(st, howlslopeframes - 1), mid = rowback(st, howlslopeframes / 2);
  const float level = howllevel(st, st.newest, k);
  const float rise = level - howllevel(st, then, k);
  for (int i = 0; i < howlratios; i++) {
    const int at = static_cast<int>(std::lround(k * howlratio[i]));
    // Places within the window's main lobe of the peak (3 bins, and 1 for
    // howllevel) only see the peak itself.
    if (at < 2 || at > howlbins - 3 || std::abs(at - k) < 5) continue;
    const float there = howllevel(st, st.newest, at);
    if (there < level - gap) continue;
    // A partial of a note that swells rises as the peak does, all along.
    const float before = howllevel(st, then, at);
    const float partway = howllevel(st, mid, at) - before, whole = there - before;
    if (whole >= 0.6f * rise && whole <= 1.6f * rise + 1.0f && partway >= 0.3f * rise) return true;
  }
  return false;
}

float howlclimb(const HowlState& st, int k) {
  const float newest = st.segment[segmentback(st, 0)][k];
  if (newest < howlclimblevel) return 0.0f;
  float later = newest, most = 0.0f;
  for (int back = 1; back < howlsegments; back++) {
    const float before = st.segment[segmentback(st, back)][k], step = later - before;
    if (!(step >= howlclimbstep && step <= howlclimbjump)) return 0.0f;
    most = std::max(most, step);
    later = before;
  }
  const float climb = newest - later;
  return most <= howlclimbshare * climb ? climb : 0.0f;
}

bool howlpartials(const HowlState& st, int k, float gap) {
  const float level = howllevel(st, st.newest, k);
  for (int i = 0; i < howlratios; i++) {
    if (howlratio[i] == 3.0f) continue;  // a clipped howl has its own third harmonic
    const int at = static_cast<int>(std::lround(k * howlratio[i]));
    if (at < 2 || at > howlbins - 3 || std::abs(at - k) < 5) continue;
    if (howllevel(st, st.newest, at) >= level - gap) return true;
  }
  return false;
}

bool howlswell(const HowlState& st, int k, double slope, float gap) {
  const float level = howllevel(st, st.newest, k);
  for (int i = 0; i < howlratios; i++) {
    const int at = static_cast<int>(std::lround(k * howlratio[i]));
    if (at < 3 || at > howlbins - 4 || std::abs(at - k) < 5) continue;
    if (howllevel(st, st.newest, at) < level - gap) continue;
    for (int n = at - 1; n <= at + 1; n++) {
      const HowlRun& r = st.run[st.runnow][n];
      double there, scatter;
      howlslope(r, there, scatter);
      if (r.length >= howlrunmin && there >= 0.5 * slope) return true;
    }
  }
  return false;
}

double howlrefine(const HowlState& st, int row, int k) {
  const float* h = st.history[row];
  const double a = h[k - 1], b = h[k], c = h[k + 1];
  const double curve = a - 2.0 * b + c;
  if (!(curve < 0.0)) return k;
  return k + std::min(std::max(0.5 * (a - c) / curve, -0.5), 0.5);
}

void howlslope(const HowlRun& r, double& slope, double& scatter) {
  const double det = r.s0 * r.stt - r.st * r.st;
  if (r.length < 3 || !(det > 1e-9)) {
    slope = 0.0;
    scatter = 1e9;
    return;
  }
  slope = (r.s0 * r.sty - r.st * r.sy) / det;
  const double a = (r.sy - slope * r.st) / r.s0;
  const double residual =
      r.syy - 2.0 * a * r.sy - 2.0 * slope * r.sty + a * a * r.s0 + 2.0 * a * slope * r.st + slope * slope * r.stt;
  scatter = std::sqrt(std::max(residual, 0.0) / r.s0);
}

// Where a run has sat lately (its positions weighted as its levels are) and
// how fast it moves (bins per analysis, the slope of the same weighted fit).
void howlplace(const HowlRun& r, double& sat, double& moving) {
  const double det = r.s0 * r.stt - r.st * r.st;
  sat = r.s0 > 0.0 ? r.sp / r.s0 : r.origin;
  moving = r.length >= 3 && det > 1e-9 ? (r.s0 * r.stp - r.st * r.sp) / det : 0.0;
}

// Every bin's falling maximum takes the new level; local maxima that stand 15 dB
// over their neighbours extend (or start) a run in that bin, whose fitted
// line takes the new level, and are offered as candidates (see howltuning.h).
void howlpeakscan(HowlState& st, int first, int count) {
  const float* h = st.history[st.newest];
  const int old = st.runnow ^ 1;
  const int then = rowback(st, howlslopeframes - 1);
  for (int k = std::max(first, howllowbin); k < first + count && k <= howlhighbin; k++) {
    const double y = howllevel(st, st.newest, k);
    // The bin's falling maximum up to the start of the slope window.
    st.held[k] = std::max(st.held[k] - howlheldfall, howllevel(st, then, k));
    // Its level over the segment; a whole segment's mean joins the last ones.
    st.segmentsum[k] += static_cast<float>(y);
    if (st.analyses % howlsegment == 0) {
      st.segment[segmentback(st, 0)][k] = st.segmentsum[k] / howlsegment;
      st.segmentsum[k] = 0.0f;
    }
    HowlRun& r = st.run[st.runnow][k];
    r = HowlRun{};
    st.present[k] *= 1.0f - howllastingrate;
    if (!(h[k] > h[k - 1] && h[k] >= h[k + 1])) continue;
    if (howlpeakness(st, st.newest, k) < howlpeakmin) continue;
    st.present[k] += howllastingrate;
    int best = k;
    for (int j = k - 1; j <= k + 1; j++)
      if (st.run[old][j].length > st.run[old][best].length) best = j;
    const double position = howlrefine(st, st.newest, k);
    // A howl that has walked off a notch at its cap onto the loop's next mode
    // starts a run of its own there.
    const HowlRun& near = st.run[old][best];
    const bool walked = near.length > 0 && std::fabs(position - near.origin) > howldriftbins &&
                        howlnextmode(st, position * howlrate / howlfftsize);
    static constexpr HowlRun none{};
    const HowlRun& o = walked ? none : near;  // all zero when no run stood near
    r.length = std::min(o.length + 1, howlrunmax);
    r.origin = o.length > 0 ? o.origin : static_cast<float>(position);
    r.centre = o.length < howlcentreframes ? static_cast<float>((o.centre * o.length + position) / (o.length + 1)) : o.centre;
    r.s0 = howlforget * o.s0 + 1.0;  // the older levels one step further back in time
    r.st = howlforget * (o.st - o.s0);
    r.stt = howlforget * (o.stt - 2.0 * o.st + o.s0);
    r.sp = howlforget * o.sp + position;
    r.stp = howlforget * (o.stp - o.sp);
    r.sy = howlforget * o.sy + y;
    r.sty = howlforget * (o.sty - o.sy);
    r.syy = howlforget * o.syy + y * y;
    if (st.analyses < howlhistory) continue;
    // The fastest risers, most first.
    const float rise = h[k] - howllevel(st, then, k);
    int at = st.risers;
    while (at > 0 && st.candidate[at - 1].key < rise) at--;
    if (rise > 0.0f && at < howlrisers) {
      for (int j = std::min(st.risers, howlrisers - 1); j > at; j--) st.candidate[j] = st.candidate[j - 1];
      st.candidate[at] = HowlCandidate{k, rise};
      st.risers = std::min(st.risers + 1, howlrisers);
    }
    // The run whose line climbs fastest.
    double slope, scatter;
    howlslope(r, slope, scatter);
    if (r.length >= howlrunmin && slope > 0.0 && (!st.runner || slope > st.candidate[howlrunner].key)) {
      st.candidate[howlrunner] = HowlCandidate{k, static_cast<float>(slope)};
      st.runner = 1;
    }
    // The bin that climbed most.
    const float climb = howlclimb(st, k);
    if (climb > 0.0f && (!st.climber || climb > st.candidate[howlclimber].key)) {
      st.candidate[howlclimber] = HowlCandidate{k, climb};
      st.climber = 1;
    }
    // The loudest lone peak.
    if (r.length >= howlrunmin && h[k] >= howlstucklevel && (!st.loudest || h[k] > st.candidate[howlloudest].key) &&
        howlpeakness(st, st.newest, k) >= howlstuckpeak) {
      st.candidate[howlloudest] = HowlCandidate{k, h[k]};
      st.loudest = 1;
    }
  }
}

HowlFinding howlscore(const HowlState& st, const HowlSensitivityTuning& tuning, int i) {
  const int k = st.candidate[i].bin;
  HowlFinding f{false, howlrefine(st, st.newest, k) * howlrate / howlfftsize, 0.0f};
  if (st.analyses < howlhistory) return f;

  // Slopeness over the last 7 analyses: 6 steps, their mean and spread.
  static_assert(howlslopeframes == 7, "the bend test below takes the steps in halves of 3");
  float level[howlslopeframes];
  for (int j = 0; j < howlslopeframes; j++) level[j] = howllevel(st, rowback(st, howlslopeframes - 1 - j), k);
  float mean = 0.0f;
  for (int j = 1; j < howlslopeframes; j++) mean += level[j] - level[j - 1];
  mean /= howlslopeframes - 1;
  float spread = 0.0f;
  for (int j = 1; j < howlslopeframes; j++) {
    const float d = level[j] - level[j - 1] - mean;
    spread += d * d;
  }
  spread = std::sqrt(spread / (howlslopeframes - 1));
  const float growth = clamp01((mean - howlgrowthlow) / (howlgrowthhigh - howlgrowthlow));
  const float regularity = clamp01(1.0f - spread / (std::fabs(mean) + 1.0f));
  const float slopeness = growth * regularity;

  // Peakness: the mean level over the neighbours across all kept analyses.
  float peak = 0.0f;
  for (int j = 0; j < howlhistory; j++) peak += howlpeakness(st, j, k);
  peak /= howlhistory;
  const float peakness = clamp01((peak - howlpeaklow) / (howlpeakhigh - howlpeaklow));
  f.score = howlslopeweight * slopeness + howlpeakweight * peakness;

  // A lone peak that has stood near k for most of the last 5 s, loud and far
  // over its neighbours, with no note's partials near its level, is a howl
  // however it jittered and swung meanwhile (the host's level control pumps
  // a howl below the ceiling too, and breaks its runs).
  const float lasting = st.present[k - 1] + st.present[k] + st.present[k + 1];
  if (tuning.lasting > 0.0f && lasting >= tuning.lasting && level[howlslopeframes - 1] >= howllastinglevel &&
      howlpeakness(st, st.newest, k) >= howllastingpeak && !howlpartials(st, k, tuning.harmonicgap)) {
    f.howl = true;
    return f;
  }

  // A lone peak whose bin climbed segment by segment over the last 0.75 s
  // (a howl the level control fights) with no note's partials near it.
  if (tuning.climb > 0.0f && howlclimb(st, k) >= tuning.climb && !howlpartials(st, k, tuning.harmonicgap) &&
      !howlharmonic(st, k, tuning.harmonicgap)) {
    f.howl = true;
    return f;
  }

  // Steadiness: where the peak near k sat in the last analyses.
  double low = 1e9, high = -1e9;
  for (int j = 0; j < howlsteadyframes; j++) {
    const int row = rowback(st, j);
    const float* h = st.history[row];
    int m = k;
    for (int n = k - 2; n <= k + 2; n++)
      if (h[n] > h[m]) m = n;
    if (m == k - 2 || m == k + 2) return f;  // the peak was elsewhere
    const double at = howlrefine(st, row, m);
    low = std::min(low, at);
    high = std::max(high, at);
  }
  const bool steady = high - low <= howlsteadybins;
  // Beside a capped notch the loop's next mode howls as one at the ceiling does.
  const bool pumped = level[howlslopeframes - 1] >= howlceiling || howlnextmode(st, f.frequency);
  const bool atceiling = pumped && high - low <= howlstuckwander;
  if (!steady && !atceiling) return f;

  if (howlharmonic(st, k, tuning.harmonicgap)) return f;

  const float early = (level[3] - level[0]) / 3.0f, late = (level[6] - level[3]) / 3.0f;
  // A fast climber with a partial of a note about as loud as itself is that
  // note's (a voice's fundamental swelling under its steady octave), whether
  // or not the partial rose with it.
  const bool fast = steady && f.score >= tuning.threshold && late >= howlbend * early &&
                    howlemergence(st, k) >= howlemerge && !howlpartials(st, k, howlpartnergap);
  const HowlRun& r = st.run[st.runnow][k];
  double slope, scatter;
  howlslope(r, slope, scatter);
  // A slow howl is judged by where its run has sat lately, not where it began:
  // rising out of the room's noise, its peak first stands wherever the noise
  // puts it, and settles on the loop's mode only as it grows. A glide, or a
  // note bent slowly, keeps moving there and is not called.
  double sat, moving;
  howlplace(r, sat, moving);
  const bool stayed = std::fabs(howlrefine(st, st.newest, k) - r.origin) <= howldriftbins;
  const bool settled = std::fabs(howlrefine(st, st.newest, k) - sat) <= howldriftbins &&
                      std::fabs(moving) * std::min(r.length, howlrunspan) <= howldriftbins;
  const bool slow = steady && settled && !howlswell(st, k, slope, tuning.harmonicgap) && r.length >= tuning.slowframes && slope >= tuning.slowslope && scatter <= tuning.slowscatter &&
                    slope * std::min(r.length, howlrunspan) >= tuning.slowclimb;
  // At the ceiling a stuck howl may jitter, but the middle of where it sat
  // lately stays where its run sat at first.
  // Close to full scale, where only a howl stands so far out, it may also
  // have moved off where its run began: the loop's modes trade places as
  // notches go in beside them.
  const bool stayedjittering = std::fabs(0.5 * (low + high) - r.centre) <= howldriftbins || level[howlslopeframes - 1] >= howlclipping;
  const float scattermax = pumped ? howlceilingscatter : howlstuckscatter;
  // A run that has sat in one place for howllongrun analyses is judged by that
  // place, wherever its peak first stood.
  const bool sitting = stayed || (settled && r.length >= howllongrun);
  const bool stuck = (steady ? sitting : stayedjittering) && r.length >= tuning.stuckframes && !howlpartials(st, k, tuning.harmonicgap) && level[howlslopeframes - 1] >= howlstucklevel &&
                     howlpeakness(st, st.newest, k) >= howlstuckpeak && scatter <= scattermax;
  f.howl = fast || slow || stuck;
  return f;
}
