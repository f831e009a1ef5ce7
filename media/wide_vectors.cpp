#include "media/wide_vectors.h"

#include <atomic>

namespace {

std::atomic<bool> g_allowWide{true};

bool MachineHasWideVectors() {
#if defined(__x86_64__) && defined(__GNUC__)
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
#else
  return false;
#endif
}

}  // namespace

bool WideVectorsOn() {
  return g_allowWide.load(std::memory_order_relaxed) && MachineHasWideVectors();
}

cNarrowVectorsScope::cNarrowVectorsScope() : m_bWas(g_allowWide.exchange(false)) {}

cNarrowVectorsScope::~cNarrowVectorsScope() { g_allowWide.store(m_bWas); }
