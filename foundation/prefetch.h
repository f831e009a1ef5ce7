#pragma once
// Asks the memory for cache lines ahead of their use, without waiting for them. Written so that
// the request is made wherever it stands: the compiler drops a loop that does nothing but
// __builtin_prefetch.
#include <cstdint>

inline void FetchLine(const void* p) {
#if defined(__x86_64__) || defined(__i386__)
  asm volatile("prefetcht0 (%0)" : : "r"(p));
#else
  __builtin_prefetch(p);
#endif
}

// Every cache line from begin up to end (not included).
inline void FetchLines(const void* begin, const void* end) {
  constexpr std::uintptr_t kLine = 64;
  auto at = reinterpret_cast<std::uintptr_t>(begin) & ~(kLine - 1);
  const auto stop = reinterpret_cast<std::uintptr_t>(end);
  for (; at < stop; at += kLine) FetchLine(reinterpret_cast<const void*>(at));
}
