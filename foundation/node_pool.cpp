#include "foundation/node_pool.h"

#include <mutex>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define TW_POOL_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define TW_POOL_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define TW_POOL_POISON(p, n) ((void)(p), (void)(n))
#define TW_POOL_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace foundation_detail {

void* cLineStore::Take(std::size_t lines) {
  const std::size_t size = lines * kLine;
  if (lines > m_Free.size()) m_Free.resize(lines);  // the entry Give needs for this size
  void* place;
  if (m_Free[lines - 1]) {
    sFree*& free = m_Free[lines - 1];
    TW_POOL_UNPOISON(free, size);
    place = free;
    free = free->m_pNext;
  } else {
    if (static_cast<std::size_t>(m_pEnd - m_pNext) < size) NextBlock();
    place = m_pNext;
    m_pNext += size;
    TW_POOL_UNPOISON(place, size);
  }
  ++m_nLive;
  return place;
}

void cLineStore::Give(void* place, std::size_t lines) noexcept {
  sFree* free = static_cast<sFree*>(place);
  free->m_pNext = m_Free[lines - 1];
  m_Free[lines - 1] = free;
  TW_POOL_POISON(place, lines * kLine);
  if (--m_nLive == 0) {
    // Every place is back: cut from the start again, so what is made next in one go lies in
    // order.
    for (sFree*& f : m_Free) f = nullptr;
    m_nBlock = 0;
    m_pNext = m_pEnd = nullptr;
  }
}

void cLineStore::NextBlock() {
  // What is left of the block stays uncut until every place is back. When the memory cannot
  // be had, nothing has changed.
  const std::size_t next = m_pEnd ? m_nBlock + 1 : m_nBlock;
  if (next == m_Blocks.size()) {
    m_Blocks.reserve(m_Blocks.size() + 1);
    char* block = static_cast<char*>(::operator new(kBlockBytes, std::align_val_t{kLine}));
    TW_POOL_POISON(block, kBlockBytes);
    m_Blocks.push_back(block);
  }
  m_pNext = m_Blocks[next];
  m_nBlock = next;
  m_pEnd = m_pNext + kBlockBytes;
}

namespace {
struct sArrayStore {
  std::mutex lock;
  cLineStore store;
};
// Never destroyed: arrays of globals go back to it at exit.
sArrayStore& ArrayStore() {
  static auto* arrays = new sArrayStore;
  return *arrays;
}
}  // namespace

void* TakeArray(std::size_t bytes) {
  sArrayStore& arrays = ArrayStore();
  std::lock_guard<std::mutex> lock(arrays.lock);
  return arrays.store.Take(LinesOf(bytes));
}

void GiveArray(void* array, std::size_t bytes) noexcept {
  sArrayStore& arrays = ArrayStore();
  std::lock_guard<std::mutex> lock(arrays.lock);
  arrays.store.Give(array, LinesOf(bytes));
}

}  // namespace foundation_detail
