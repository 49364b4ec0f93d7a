// latestblock.h: the latest captured block, for the application's display and
// tests: its sample count (2 x frames) and where its samples are. Written by the
// capture side of either back end before each processblock; cleared when the
// capture object goes. Read by any thread: the block stays allocated while the
// capture object is open, and a reader sees each sample whole.
#pragma once
#include <atomic>
#include <cstdint>

extern std::atomic<int32_t> capturedcount;
extern std::atomic<const int16_t *> capturedblock;
