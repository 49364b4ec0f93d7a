// atomics.h: relaxed reads and writes of the engine's shared single values.
// A relaxed load or store of an aligned 32-bit value is a plain move on x86:
// no lock, no fence, and the other thread sees the old or the new value whole.
#pragma once
#include <atomic>

template <typename T>
inline T ld(const std::atomic<T> &a) {
  return a.load(std::memory_order_relaxed);
}

template <typename T, typename V>
inline void st(std::atomic<T> &a, V v) {
  a.store(static_cast<T>(v), std::memory_order_relaxed);
}
