// howltuning.h: the numbers that shape howlcut's detector and notch bank, in
// one place, each with its unit and its reason. Compile-time constants; the
// sensitivity table is indexed by HowlSensitivity.
#pragma once
#include <cstdint>

constexpr double howlrate = 44100.0;       // frames per second; the contract's one rate

// Short-time spectrum: a 4096-point Blackman window (about 93 ms, bins
// 10.8 Hz apart) every 1024 frames (23 ms). The window's side lobes lie
// below -58 dB, so a howl stands out of the music around it.
constexpr int howlfftsize = 4096;
constexpr int howlbins = howlfftsize / 2 + 1;  // 0 .. Nyquist
constexpr int howlhop = 1024;                 // frames between analyses
constexpr int howlringsize = 8192;            // frames kept per channel (window + room for the spread work)
constexpr int howlhistory = 8;                // analyses kept for scoring

// Peaks are looked for between 80 Hz and 16 kHz; at most 5 per analysis are
// scored: the two that rose most over the slope window (a howl in its growth
// is among them long before it is among the loudest peaks of the music), the
// one in a run whose fitted line climbs fastest (a slow howl), the loudest
// that stands far over its neighbours (a howl already at the ceiling) and the
// one whose bin climbed most over the last 0.75 s (a howl fought by the
// level control).
constexpr int howllowbin = 8;       // 86 Hz: first bin whose neighbours (2..7 below) are all above 0
constexpr int howlhighbin = 1486;   // 16.0 kHz
constexpr int howlcandidates = 5;
constexpr int howlrisers = 2;
constexpr int howlrunner = 2;      // candidate[2]
constexpr int howlloudest = 3;     // candidate[3]
constexpr int howlclimber = 4;     // candidate[4]
constexpr int howlrunmin = 6;       // analyses a run needs before it is offered

// Peakness: mean of the peak's level over its neighbours 2..7 bins away on
// each side (the main lobe of the Blackman window is 3 bins wide each side,
// so bins 2 and 3 still see part of the peak itself).
constexpr int howlneighbournear = 2;
constexpr int howlneighbourfar = 7;
constexpr float howlpeakmin = 15.0f;   // dB over the neighbours for a candidate at all
constexpr float howlpeaklow = 9.0f;    // dB mean over 8 analyses that scores 0 ...
constexpr float howlpeakhigh = 21.0f;  // ... and 1

// Slopeness: how steadily the level at the peak grows over the last 7
// analyses (6 steps). A howl in a loop grows by the same number of dB per
// round trip, so its steps are alike; a note's onset is one big step, a
// vibrato or a tremolo goes up and down.
constexpr int howlslopeframes = 7;
constexpr float howlgrowthlow = 0.15f;   // dB per analysis that scores 0 ...
constexpr float howlgrowthhigh = 0.5f;   // ... and 1 (21.5 dB/s)
constexpr float howlslopeweight = 0.7f;  // score = 0.7 slopeness + 0.3 peakness
constexpr float howlpeakweight = 0.3f;
// Two partials a little apart beat: their sum rises for a while too, but
// fast at first and slower near the top, and only back to where it was a
// beat ago. A howl's steps keep their size or grow (it climbs out of the
// music around it), and it climbs past the highest level its bin had held
// before the slope window (that maximum falling 2 dB a second).
constexpr float howlbend = 0.9f;        // the last 3 steps' mean over the first 3's, at least
constexpr float howlemerge = 6.0f;      // dB over the bin's falling maximum, at least
constexpr float howlheldfall = 0.046f;  // dB per analysis (2 dB/s)

// A howl stays where it is: its refined frequency may wander at most this
// many bins over the last analyses (a sweep or a vibrato moves further).
constexpr int howlsteadyframes = 4;
constexpr float howlsteadybins = 0.35f;

// Missing harmonics: a howl is a lone sine. The spectrum is looked at in the
// places where a musical note's other partials would be, whichever partial
// the peak is; a place that is within `harmonicgap` dB of the peak and has
// risen with it over the slope window (0.6 to 1.6 times as much, and part of
// it by the window's middle) is a partial of the same note: the peak is music.
constexpr int howlratios = 10;
constexpr float howlratio[howlratios] = {2.0f, 3.0f, 0.5f, 1.0f / 3.0f, 1.5f, 2.0f / 3.0f,
                                          4.0f / 3.0f, 0.75f, 1.25f, 0.8f};

// A howl climbing fast has climbed out of the sound around it; a peak that
// has a partial of a note within this many dB of its own level is a note,
// even if that partial held still while the peak rose (a voice's
// fundamental swelling under its octave). A howl that starts under such a
// partial is called once it stands this far over it.
constexpr float howlpartnergap = 6.0f;

// Slow howls (a loop just above unity grows too slowly for the slope test):
// while a lone peak stays in its bin (a run), its level is fitted with a
// straight line, older analyses weighted by 0.97 each (about 33 analyses,
// 0.75 s). One whose line climbs steadily (little scatter around it) far
// enough (its slope times its run, the run counted up to 33) is a slow howl;
// a swell that has stopped, a chord held, a note dying away are not.
constexpr double howlforget = 0.97;
constexpr int howlrunmax = 30000;  // run lengths stop counting here
constexpr int howlrunspan = 33;    // analyses of a run that count towards its climb
constexpr float howldriftbins = 0.5f;  // a run's peak may move this far from where it began
constexpr int howlcentreframes = 4;    // analyses whose mean position is where a jittering run sat at first

// A howl that grew too fast to be caught growing sits at the loop's ceiling
// (the converter clips): loud, a lone steady peak far above its neighbours,
// its level flat, and no partial of a note anywhere near its level (its own
// third harmonic aside). After `stuckframes` analyses in its bin it is a
// howl too; music waits longest, as a note may be held that long.
constexpr float howlstucklevel = -24.0f;   // dB of full scale, at least
constexpr float howlstuckpeak = 25.0f;     // dB over the neighbours, at least
constexpr float howlstuckscatter = 1.5f;   // dB rms around the run's line, at most
// Where a run began counts for the stuck test only so long: a held note
// whose peak stood a little off at its onset keeps that from a notch, but a
// howl that rose out of the noise between two of the loop's modes begins as
// far off, and then sits on one of them for good.
constexpr int howllongrun = 215;           // analyses (5 s)
// A howl held below the ceiling by the host's level control swings by 3 dB
// rms and more, and its peak jitters over a bin, so its runs break every
// second or so; yet it stands in the same place for many seconds, which
// most notes do not. Each bin counts the share of analyses that had a lone
// peak there (an average over about 5 s); the sensitivity table asks for a
// share over three bins (0.8: about 8 s of it). The music setting never
// calls a peak a howl for lasting alone: the bench's music holds a drone of
// a minute on one pure note, which the other settings notch.
constexpr float howllastingrate = 1.0f / 215.0f;  // per analysis: about 5 s
constexpr float howllastinglevel = -30.0f; // dB of full scale, at least
constexpr float howllastingpeak = 20.0f;   // dB over the neighbours, at least
// A howl fought by the host's level control climbs in bursts: the control
// pulls it down, it grows again, and its peak hops between two of the loop's
// modes a bin or two apart (they beat), so neither its steps nor its runs
// are steady. Over the better part of a second it still climbs, step by
// like step, as few notes do. Each bin's level (see howllevel) is averaged
// over segments of 8 analyses (0.19 s); a lone peak whose bin stood higher in
// each of the last 4 segments than in the one before, by like steps (none
// more than half of the whole) and by the sensitivity's `climb` dB in all,
// is a howl, unless a note's partial is near its level. A note's onset is
// one big step; a swell levels out and leaves a step flat.
constexpr int howlsegment = 8;            // analyses per segment
constexpr int howlsegments = 4;           // segments compared
constexpr float howlclimbstep = 1.0f;     // dB each segment over the one before, at least ...
constexpr float howlclimbjump = 6.0f;     // ... and at most
constexpr float howlclimbshare = 0.5f;    // the largest step's share of the whole climb, at most
constexpr float howlclimblevel = -45.0f;  // dB of full scale the newest segment reaches, at least
// A long round trip puts the loop's modes a bin or less apart, and a howl at
// the ceiling often sits on two of them at once: they beat, and its refined
// frequency jitters by most of a bin from one analysis to the next. A held
// note with a slight vibrato wanders as far, but well below the ceiling, so
// the stuck test lets a peak wander that far only within 12 dB of full scale.
constexpr float howlceiling = -12.0f;      // dB of full scale: a peak this loud is at the loop's ceiling
constexpr float howlstuckwander = 1.0f;    // bins over the steadiness analyses, at most, there
constexpr float howlclipping = -6.0f;      // dB of full scale: there a jittering howl need not have stayed put
// There the host's own level control also pumps it: it pulls a loud input
// down fast and lets it climb back slowly, so a stuck howl swings by 5 to 8 dB
// about its line (2.3 to 2.7 dB rms, measured in a live room).
constexpr float howlceilingscatter = 3.0f; // dB rms around the run's line, at most, there

struct HowlSensitivityTuning {
  float threshold;     // score for a howl (0.7 slopeness + 0.3 peakness)
  float harmonicgap;   // dB within which a place rising with the peak counts as its partial
  int32_t slowframes;  // run length (analyses) before a slow howl is called
  float slowslope;     // dB per analysis the fitted line must climb
  float slowscatter;   // dB: most the levels may scatter around the line (rms)
  float slowclimb;     // dB the line must have climbed over the run
  int32_t stuckframes; // run length (analyses) before a loud steady lone peak is called a howl
  float lasting;       // share of the last analyses a lone peak stood there to be a howl (0: never)
  float climb;         // dB a lone peak's bin climbs over the last segments to be a howl (0: never)
};
// speech reacts fastest; music holds back longest, since a held note must
// never get a notch.
constexpr HowlSensitivityTuning howlsensitivitytuning[3] = {
    {0.70f, 14.0f, 8, 0.05f, 1.0f, 3.0f, 10, 0.8f, 6.0f},    // speech
    {0.82f, 18.0f, 10, 0.06f, 0.8f, 3.5f, 20, 0.8f, 7.0f},   // mixed
    {0.95f, 24.0f, 14, 0.08f, 0.6f, 4.0f, 60, 0.0f, 8.0f},   // music
};

// The notch bank. Each notch is 1 - c * bandpass, the bandpass of constant
// 0 dB peak gain with Q 7: its full-depth notch is 1/5 octave wide between
// the -3 dB points; c = 1 - 10^(-depth/20) sets the depth at the centre.
// Twice the usual 1/10 octave: a room's loudest peak has others close by,
// which a wider notch takes down with it. The best 12 notches add 3.4 dB of
// stable gain in the bench's rooms at Q 7, 2.5 dB at Q 14 (--bound); and a
// notch on one tooth of the engine's averaging comb (22 Hz apart) reaches
// the teeth beside it.
constexpr double howlnotchq = 7.0;
constexpr double howlfirstdepth = 6.0;   // dB of a new notch
constexpr double howldeepenstep = 3.0;   // dB added while the howl persists
constexpr double howlmaxdepth = 18.0;    // dB cap
constexpr double howlcutramp = 1.0 / 2205.0;  // c moves at most this per frame: 0 to 1 in 50 ms
constexpr int howlsettle = 4;            // analyses after a change before a notch is judged again
constexpr double howlcapture = 1.0 / 24.0;  // octaves: a howl this close to a notch belongs to it
constexpr double howlretune = 1.0 / 96.0;   // octaves: a notch is moved to its howl if further off
// Once a notch is at its cap the loop often howls on at its next mode, pumped
// as the first was but below the ceiling. The modes lie 1 / round trip apart
// (22 Hz at 45 ms): above about 750 Hz that is inside the capture distance
// (1/24 octave, 29 Hz at 1 kHz), where the howl would only move the notch
// off the first mode, yet outside the notch's deepest part (18 dB at the
// centre, 9 dB 24 Hz off). A howl that far from a capped notch gets a notch
// of its own and is judged as one at the ceiling. From 1.5 bins, so that a
// held low note, whose refined frequency wanders within its bin, stays with
// the one notch it has; up to 4 bins, a round trip of 23 ms or longer.
constexpr double howlnextmodenear = 1.5;   // bins (10.8 Hz each), at least ...
constexpr double howlnextmodefar = 4.0;    // ... and at most

// Release: a notch not heard from for howlhold analyses gives back 3 dB every
// howlreleasestep analyses; at 0 dB its slot is free. One that came back
// howlkeephits times is kept.
constexpr int howlhold = 430;         // 10 s
constexpr int howlreleasestep = 86;   // 2 s
constexpr int howlkeephits = 3;
// A notch given back to 0 dB waits one more step, transparent, before its
// slot is free: a loop that needed its last 3 dB howls again within that
// step, and the howl found there is then the notch's return (one of the
// keeping hits) with its notch back at once, not a new one that has to
// find it again while the level control has meanwhile raised the gain. A
// new howl elsewhere may take such a slot as it would a free one.
