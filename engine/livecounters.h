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
  acount underruns;  // playback buffers that came back leaving none queued (playback done handler)
  acount bunched;    // capture completions within a quarter block of the one before (capture handler)
};

extern LiveCounters livecounters;

// One more. Only the counter's own writer may call this.
inline void countblock(acount &c) {
  c.store(c.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}
