// howlsim: howlcut measured in simulated rooms (closedloop.h, rooms.h).
//
//   howlsim --material DIR --out DIR [--quick] [--rooms 1,5,9]
//   howlsim --material DIR --trace ROOM,MATERIAL,GAIN   (e.g. 15,speech,-6.5)
//   howlsim --bound [--rooms 1,5,9]    the notch bank's best case alone (notchbound.h)
//
// For each room and material, in the run command's set-up (882-frame blocks,
// 46.8 ms round trip) and with 10 ms blocks (36.9 ms):
//   MSG without and with howlcut, ASG = the difference;
// and in the run command's set-up also:
//   spectral distortion at the MSG without, with and without howlcut;
//   the share of time howling over a 20 s gain ramp from MSG − 6 to MSG + 6 dB;
//   a path change at MSG + 6 dB (the microphone moves at 10 s of 20): how long
//     the howling lasts after it and the share of the run spent howling;
// then the notches placed on 10 minutes of music and speech with no feedback
// path. Writes howlsim.md (the tables, also printed), rooms.csv and
// pathchange.csv (for plot.py) into the out folder. --trace runs one room and
// material at one gain with howlcut (10 s, the run command's set-up) and
// prints, every 0.5 s, the largest band excess, where, and the notches then.
// The full run also gives, per room, the most a bank of notches could add there
// (notchbound.h) beside what howlcut added.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "bench/howlsim/howlsim.h"
#include "engine/enginestate.h"

namespace {

constexpr int speech = 0, music = 1, noise = 2;
const char* const materialname[3] = {"speech", "music", "noise"};
const int sensitivityfor[3] = {howlspeech, howlmusic, howlmixed};
constexpr double trialseconds = 10;  // one MSG trial
constexpr double longseconds = 20;   // ramp and path change runs

struct Row {
  int setup, room, material;
  double msg0 = 0, msg1 = 0, howlhz0 = 0, howlhz1 = 0;
  int notches1 = 0;  // howlcut's notches in use when the loop howled above its MSG
  int trials = 0;
  bool found0 = false, found1 = false;
  double sd0 = NAN, sd1 = NAN;                // dB at MSG without
  double ramp0 = NAN, ramp1 = NAN;            // % of the ramp howling
  double after1 = NAN, share1 = NAN;          // s howling after the change; % of the run
  double share0 = NAN;
  int placed = 0;                             // notches placed in the path change run
};

std::vector<float> roomexcerpt(const Material& m, int material, int room, double seconds) {
  if (material == speech) return excerpt(m.speech, std::fmod(room * 23.0, m.speech.size() / 44100.0 - 25), seconds);
  if (material == music) return excerpt(m.music, (room % 4) * 80 + std::fmod((room / 4) * 11.0, 55), seconds);
  return excerpt(m.noise, room * 5.0, seconds);
}

double sharepercent(const HowlMeter& meter, int fromframe) {
  int count = 0;
  for (int f = fromframe; f < meter.frames; ++f) count += meter.howling[f];
  return meter.frames > fromframe ? 100.0 * count / (meter.frames - fromframe) : 0;
}

// Seconds from the change to the end of the last howling frame after it.
double howlingafter(const HowlMeter& meter, double changeat) {
  double last = changeat;
  for (int f = 0; f < meter.frames; ++f)
    if (meter.howling[f] && meterseconds(f) > changeat) last = meterseconds(f);
  return last - changeat;
}


void writepathchange(const std::string& path, int room, const HowlMeter& without, const HowlMeter& with) {
  FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return;
  std::fprintf(f, "room %d\nseconds,level_without,level_with,excess_without,excess_with,howling_with\n", room + 1);
  const int n = std::min(without.frames, with.frames);
  for (int i = 0; i < n; ++i)
    std::fprintf(f, "%.4f,%.2f,%.2f,%.2f,%.2f,%d\n", meterseconds(i), without.level[i], with.level[i],
                 without.maxexcess[i], with.maxexcess[i], with.howling[i]);
  std::fclose(f);
}

Row measure(const LoopSetup& setup, int setupindex, const RoomSpec& room, int roomindex, const RoomPaths& paths,
            const Material& mat, int material, HowlRig& rig, bool full, bool plotted, const std::string& out) {
  Row row{setupindex, roomindex, material};
  const std::vector<float> trial = roomexcerpt(mat, material, roomindex, trialseconds);
  const SimPlugin none = simnone();
  rig.sensitivity = sensitivityfor[material];
  const SimPlugin cut = simhowlcut(rig);

  const StableGain s0 = searchmsg(setup, trial, paths.before, none, std::floor(smallgainbound(paths.before)), 2.0);
  const StableGain s1 = searchmsg(setup, trial, paths.before, cut, s0.msg, 4.0);
  row.msg0 = s0.msg, row.msg1 = s1.msg, row.found0 = s0.found, row.found1 = s1.found;
  row.howlhz0 = s0.howlhz, row.howlhz1 = s1.howlhz, row.notches1 = s1.notches;
  row.trials = s0.trials + s1.trials;
  if (!full) return row;

  LoopRun run;
  run.source = &trial;
  run.path = &paths.before;
  run.gainstart = run.gainend = s0.msg;
  row.sd0 = meterdistortion(runloop(setup, run, none).meter);
  row.sd1 = meterdistortion(runloop(setup, run, cut).meter);

  const std::vector<float> longer = roomexcerpt(mat, material, roomindex, longseconds);
  run.source = &longer;
  run.gainstart = s0.msg - 6;
  run.gainend = s0.msg + 6;
  row.ramp0 = sharepercent(runloop(setup, run, none).meter, 0);
  row.ramp1 = sharepercent(runloop(setup, run, cut).meter, 0);

  run.gainstart = run.gainend = s0.msg + 6;
  run.moved = &paths.after;
  run.changeat = longseconds / 2;
  const LoopResult with = runloop(setup, run, cut);
  row.after1 = howlingafter(with.meter, run.changeat);
  row.share1 = sharepercent(with.meter, 0);
  row.placed = with.placed;
  const LoopResult without = runloop(setup, run, none);
  row.share0 = sharepercent(without.meter, 0);
  if (plotted && material == speech) writepathchange(out + "/pathchange.csv", roomindex, without.meter, with.meter);
  (void)room;
  return row;
}

// One run in steps of 0.5 s, with the meter's verdict and howlcut's notches
// after each step.
int trace(const Material& mat, const char* what) {
  char name[16] = "";
  int room = 0;
  double gain = 0;
  if (std::sscanf(what, "%d,%15[a-z],%lf", &room, name, &gain) != 3 || room < 1 || room > 20) {
    std::fprintf(stderr, "howlsim: --trace ROOM,MATERIAL,GAIN (e.g. 15,speech,-6.5)\n");
    return 2;
  }
  int material = 0;
  while (material < 2 && std::strcmp(name, materialname[material])) material++;
  const RoomPaths paths = roompaths(simrooms()[room - 1]);
  const std::vector<float> source = roomexcerpt(mat, material, room - 1, trialseconds);
  HowlRig rig;
  rig.sensitivity = sensitivityfor[material];
  LoopRun run;
  run.path = &paths.before;
  run.gainstart = run.gainend = gain;
  std::printf("room %d, %s, gain %.1f dB (MSG bound %.1f dB)\n", room, materialname[material], gain,
              smallgainbound(paths.before));
  // Longer and longer prefixes of the same run: the loop is deterministic.
  for (double until = 0.5; until <= trialseconds + 1e-9; until += 0.5) {
    const std::vector<float> part(source.begin(), source.begin() + static_cast<size_t>(until * 44100));
    run.source = &part;
    const LoopResult r = runloop(setuplive, run, simhowlcut(rig));
    const int f = r.meter.frames - 1;
    std::printf("%5.1f s  excess %5.1f dB at %5.0f Hz%s  notches:", until, r.meter.maxexcess[f], r.meter.peakhz[f],
                r.meter.howling[f] ? " HOWL" : "     ");
    for (const HowlNotchView& n : rig.display->notch)
      if (n.frequency.load() > 0) std::printf(" %.0f Hz %.0f dB", n.frequency.load(), n.depth.load());
    std::printf("\n");
  }
  return 0;
}

struct Stats {
  double mean = 0, lo = 1e9, hi = -1e9;
  int n = 0;
  void add(double v) {
    if (std::isnan(v)) return;
    mean = (mean * n + v) / (n + 1);
    lo = std::min(lo, v), hi = std::max(hi, v);
    n++;
  }
};

std::string fmt(double v, const char* f = "%.1f") {
  if (std::isnan(v)) return "-";
  char b[32];
  std::snprintf(b, sizeof b, f, v);
  return b;
}

// The notch bank's best case per room, beside the loop's measured MSG and
// howlcut's ASG on speech where those were run; and in the live test's path.
std::string boundtable(const std::vector<int>& chosen, const std::vector<Row>& rows) {
  constexpr int tried = 48;
  const std::vector<RoomSpec>& rooms = simrooms();
  std::string md =
      "| room | MSG from the response | MSG measured (speech) | best 12 notches | best 24 | best 48 | notches for 6 dB | "
      "howlcut's ASG (speech) |\n|---|---:|---:|---:|---:|---:|---:|---:|\n";
  Stats msg, b12, b24, b48, asg;
  int short6 = 0;
  char line[256];
  std::vector<std::vector<float>> responses;  // each chosen room's, before the microphone moves
  for (int ri : chosen) responses.push_back(roompaths(rooms[ri]).before);
  auto addrow = [&](const char* name, const std::vector<float>& response, const Row* r) {
    const NotchBound b = notchbound(response, tried);
    const int k = notchesfor(b, 6.0);
    std::snprintf(line, sizeof line, "| %s | %.1f | %s | %.1f | %.1f | %.1f | %s | %s |\n", name, b.msg,
                  r ? fmt(r->msg0).c_str() : "-", b.added[12], b.added[24], b.added[tried],
                  k < 0 ? "more than 48" : std::to_string(k).c_str(), r ? fmt(r->msg1 - r->msg0).c_str() : "-");
    md += line;
    return b;
  };
  for (size_t i = 0; i < chosen.size(); ++i) {
    const int ri = chosen[i];
    const Row* r = nullptr;
    for (const Row& x : rows)
      if (x.setup == 0 && x.room == ri && x.material == speech) r = &x;
    const NotchBound b = addrow(rooms[ri].name, responses[i], r);
    msg.add(b.msg), b12.add(b.added[12]), b24.add(b.added[24]), b48.add(b.added[tried]);
    if (r) asg.add(r->msg1 - r->msg0);
    short6 += notchesfor(b, 6.0) < 0 || notchesfor(b, 6.0) > 12;
  }
  std::snprintf(line, sizeof line, "| mean of %d rooms | %.1f | | %.1f | %.1f | %.1f | more than 12 in %d | %s |\n",
                msg.n, msg.mean, b12.mean, b24.mean, b48.mean, short6, asg.n ? fmt(asg.mean).c_str() : "-");
  md += line;
  // The live test's room: its resonance, and the engine's averaging comb
  // before the plug-ins (each sample with the one 2000 frames older), whose
  // teeth, 22.05 Hz apart, are where that loop howls.
  std::vector<float> live = resonanceresponse(1000.0, 10.0, 12.0, 1 << 14), teeth(live.size() + combdelay / 2, 0.0f);
  for (size_t i = 0; i < live.size(); ++i) {
    teeth[i] += 0.498f * live[i];
    teeth[i + combdelay / 2] += 0.498f * live[i];
  }
  const NotchBound b = addrow("live test's room: 1 kHz, Q 10, +12 dB; the engine's comb", teeth, nullptr);
  // The same best case with notches of other widths, mean of the rooms.
  md += "\n| notch quality (width at full depth) | best 12 notches | best 24 | notches for 6 dB (median room) |\n"
        "|---|---:|---:|---:|\n";
  for (const double q : {14.0, 10.0, 7.0}) {
    if (chosen.empty()) break;
    Stats a12, a24;
    std::vector<int> needed;
    for (const std::vector<float>& response : responses) {
      const NotchBound w = notchbound(response, tried, q);
      a12.add(w.added[12]), a24.add(w.added[24]);
      needed.push_back(notchesfor(w, 6.0) < 0 ? 999 : notchesfor(w, 6.0));
    }
    std::sort(needed.begin(), needed.end());
    const int median = needed[needed.size() / 2];
    std::snprintf(line, sizeof line, "| Q %.0f (1/%.0f octave)%s | %.1f dB | %.1f dB | %s |\n", q, q * std::log(2.0),
                  q == howlnotchq ? ", howlcut's" : "", a12.mean, a24.mean,
                  median == 999 ? "more than 48" : std::to_string(median).c_str());
    md += line;
  }
  std::snprintf(line, sizeof line, "\nIn the live test's room the best notches add %.1f dB (one), %.1f (two), %.1f (three), %.1f (six).\n",
                b.added[1], b.added[2], b.added[3], b.added[6]);
  md += line;
  return md;
}

}  // namespace

int main(int argc, char** argv) {
  std::string materialdir = "build/howlsim/material", out = "build/howlsim";
  bool quick = false;
  std::vector<int> only;  // --rooms: these rooms (1-based) alone
  const char* traced = nullptr;
  bool boundonly = false;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--material") && i + 1 < argc) materialdir = argv[++i];
    else if (!std::strcmp(argv[i], "--out") && i + 1 < argc) out = argv[++i];
    else if (!std::strcmp(argv[i], "--quick")) quick = true;
    else if (!std::strcmp(argv[i], "--trace") && i + 1 < argc) traced = argv[++i];
    else if (!std::strcmp(argv[i], "--bound")) boundonly = true;
    else if (!std::strcmp(argv[i], "--rooms") && i + 1 < argc) {
      for (char* p = argv[++i]; *p;) {
        only.push_back(static_cast<int>(std::strtol(p, &p, 10)) - 1);
        if (*p == ',') ++p;
        else if (*p) break;
      }
    }
    else {
      std::fprintf(stderr, "usage: howlsim --material DIR --out DIR [--quick] [--rooms 1,5,9] [--trace ROOM,MATERIAL,GAIN] [--bound]\n");
      return 2;
    }
  }
  const auto began = std::chrono::steady_clock::now();
  const std::vector<RoomSpec>& rooms = simrooms();
  std::vector<int> chosen;
  for (int i = 0; i < static_cast<int>(rooms.size()); ++i)
    if (only.empty() ? !quick || i % 7 == 0 : std::find(only.begin(), only.end(), i) != only.end())
      chosen.push_back(i);
  if (boundonly) {
    std::fputs(boundtable(chosen, {}).c_str(), stdout);
    return 0;
  }
  const Material mat = loadmaterial(materialdir);
  if (!mat.ok) {
    std::fprintf(stderr, "howlsim: no material in %s (run bench/howlsim.sh)\n", materialdir.c_str());
    return 1;
  }
  if (traced) return trace(mat, traced);
  const LoopSetup setups[2] = {setuplive, setup10ms};
  HowlRig rig;
  std::vector<Row> rows;
  for (int si = 0; si < 2; ++si)
    for (int ri : chosen) {
      const RoomPaths paths = roompaths(rooms[ri]);
      for (int m = 0; m < 3; ++m) {
        if (quick && m == noise) continue;
        rows.push_back(measure(setups[si], si, rooms[ri], ri, paths, mat, m, rig, si == 0, ri == chosen[0], out));
        const Row& r = rows.back();
        std::fprintf(stderr, "%s | %s | %s: MSG %.1f -> %.1f dB (ASG %.1f; %d trials), %.0f s\n", setups[si].name,
                     rooms[ri].name, materialname[m], r.msg0, r.msg1, r.msg1 - r.msg0, r.trials,
                     std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count());
      }
    }

  // False notches: no feedback path, music then speech, each sensitivity.
  const double falseseconds = quick ? 60 : 300;
  int falsenotches[2][3];
  for (int m = 0; m < 2; ++m) {
    const std::vector<float> x = excerpt(m == speech ? mat.speech : mat.music, 0, falseseconds);
    for (int s = 0; s < 3; ++s) {
      rig.sensitivity = s;
      LoopRun run;
      run.source = &x;
      falsenotches[m][s] = runloop(setuplive, run, simhowlcut(rig)).placed;
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();

  std::string md;
  char line[512];
  md += "| set-up | material | rooms | MSG without (mean) | ASG mean | ASG min | ASG max |\n";
  md += "|---|---|---:|---:|---:|---:|---:|\n";
  for (int si = 0; si < 2; ++si)
    for (int m = 0; m < 3; ++m) {
      Stats msg, asg;
      for (const Row& r : rows)
        if (r.setup == si && r.material == m) msg.add(r.msg0), asg.add(r.msg1 - r.msg0);
      if (!asg.n) continue;
      std::snprintf(line, sizeof line, "| %s | %s | %d | %.1f dB | %.1f dB | %.1f dB | %.1f dB |\n", setups[si].name,
                    materialname[m], asg.n, msg.mean, asg.mean, asg.lo, asg.hi);
      md += line;
    }
  md += "\n| material (run command's set-up) | distortion at MSG without: no howlcut / howlcut | howling in the ramp: no howlcut / howlcut | path change at MSG + 6 dB: howling after it (mean, max) | share of the run howling (mean, max) |\n";
  md += "|---|---:|---:|---:|---:|\n";
  for (int m = 0; m < 3; ++m) {
    Stats sd0, sd1, r0, r1, after, share;
    for (const Row& r : rows)
      if (r.setup == 0 && r.material == m)
        sd0.add(r.sd0), sd1.add(r.sd1), r0.add(r.ramp0), r1.add(r.ramp1), after.add(r.after1), share.add(r.share1);
    if (!sd0.n) continue;
    std::snprintf(line, sizeof line, "| %s | %.1f / %.1f dB | %.1f / %.1f %% | %.2f s, %.2f s | %.1f %%, %.1f %% |\n",
                  materialname[m], sd0.mean, sd1.mean, r0.mean, r1.mean, after.mean, after.hi, share.mean, share.hi);
    md += line;
  }
  std::snprintf(line, sizeof line,
                "\nFalse notches with no feedback path (%.0f s of music, %.0f s of speech): speech setting %d / %d, "
                "mixed %d / %d, music %d / %d (music / speech).\n",
                falseseconds, falseseconds, falsenotches[music][howlspeech], falsenotches[speech][howlspeech],
                falsenotches[music][howlmixed], falsenotches[speech][howlmixed], falsenotches[music][howlmusic],
                falsenotches[speech][howlmusic]);
  md += line;
  md += "\nPer room, run command's set-up: MSG without howlcut (speech) and ASG in dB; where the loop howled "
        "first, speech, without howlcut and, just above its MSG, with it (the notches it had in use then); "
        "path change, speech: seconds of howling after it.\n\n";
  md += "| room (volume, RT60, distance) | MSG without | ASG speech | ASG music | ASG noise | howls first | with howlcut, speech | with howlcut, music | path change |\n";
  md += "|---|---:|---:|---:|---:|---:|---:|---:|---:|\n";
  for (int ri : chosen) {
    const Row* r[3] = {nullptr, nullptr, nullptr};
    for (const Row& x : rows)
      if (x.setup == 0 && x.room == ri) r[x.material] = &x;
    if (!r[speech]) continue;
    auto howlwith = [](const Row* x) {
      if (!x) return std::string("-");
      if (!x->found1) return std::string("none in reach");
      return fmt(x->howlhz1, "%.0f Hz") + " (" + std::to_string(x->notches1) + ")";
    };
    std::snprintf(line, sizeof line, "| %s | %.1f | %s | %s | %s | %.0f Hz | %s | %s | %s s |\n", rooms[ri].name,
                  r[speech]->msg0, fmt(r[speech]->msg1 - r[speech]->msg0).c_str(),
                  r[music] ? fmt(r[music]->msg1 - r[music]->msg0).c_str() : "-",
                  r[noise] ? fmt(r[noise]->msg1 - r[noise]->msg0).c_str() : "-", r[speech]->howlhz0,
                  howlwith(r[speech]).c_str(), howlwith(r[music]).c_str(), fmt(r[speech]->after1, "%.2f").c_str());
    md += line;
  }
  md += "\nThe notch bank's best case (an ideal detector: each howl gets howlcut's full 18 dB notch at once, "
        "the loudest peak first), against the room's response before the microphone moves:\n\n";
  md += boundtable(chosen, rows);
  std::snprintf(line, sizeof line, "\nRun time: %.0f s (%.0f s of processor time, one core).\n", seconds,
                static_cast<double>(std::clock()) / CLOCKS_PER_SEC);
  md += line;
  std::fputs(md.c_str(), stdout);
  if (FILE* f = std::fopen((out + "/howlsim.md").c_str(), "w")) std::fputs(md.c_str(), f), std::fclose(f);

  if (FILE* f = std::fopen((out + "/rooms.csv").c_str(), "w")) {
    std::fprintf(f, "setup,room,material,msg0,msg1,asg,sd0,sd1,ramp0,ramp1,after1,share0,share1,howlhz0,howlhz1,notches1\n");
    for (const Row& r : rows)
      std::fprintf(f, "%d,%d,%s,%.2f,%.2f,%.2f,%.2f,%.2f,%.2f,%.2f,%.2f,%.2f,%.2f,%.0f,%.0f,%d\n", r.setup, r.room + 1,
                   materialname[r.material], r.msg0, r.msg1, r.msg1 - r.msg0, r.sd0, r.sd1, r.ramp0, r.ramp1,
                   r.after1, r.share0, r.share1, r.howlhz0, r.howlhz1, r.notches1);
    std::fclose(f);
  }
  return 0;
}
