// livecounters.h: what happened to the blocks of the live engine, counted, so a
// drop-out is seen rather than guessed.
//
//   countblock(livecounters.processed);     // audio thread: one more
//   uint32_t n = ld(livecounters.dropped);  // any thread: read for display
//
// Each counter has one writer on the audio thread and counts up from 0 at
// engineinit, wrapping at 2^32. A count is a relaxed load and store: no locked
// instruction, no fence, nothing per sample. Readers see the old or the new value.
#pragma once
#include <atomic>
#include <cstdint>

using acount = std::atomic<uint32_t>;

struct LiveCounters {
  acount captured;   // capture completions that carried samples (capture handler)
  acount processed;  // blocks run through the chain and queued for playback (processblock)
  acount dropped;    // blocks dropped because fewer than five playback buffers were free (processblock)
  // Playback starving (what the back end can tell; the README's "Reading the
  // counters" says what each means on each):
  //   waveform: a playback buffer came back leaving none queued (done handler);
  //   stream: the device fell more than a period behind the clock, once per
  //           starvation, with the frames it fell behind (starvedframes).
  acount underruns;
  acount bunched;    // capture completions within a quarter block of the one before (capture handler)
  acount queueempty;      // stream: the queue found played out as a block arrived (a moment, often no loss)
  acount starvedframes;   // stream: frames the device had nothing to play
  acount discontinuities; // stream: capture packets the device marked or placed after a loss
  acount lostframes;      // stream: capture frames skipped by those packets
};

extern LiveCounters livecounters;

// One more. Only the counter's own writer may call this.
inline void countblock(acount &c) {
  c.store(c.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}

// n more (frames). Only the counter's own writer may call this.
inline void countframes(acount &c, uint64_t n) {
  c.store(c.load(std::memory_order_relaxed) + static_cast<uint32_t>(n), std::memory_order_relaxed);
}
