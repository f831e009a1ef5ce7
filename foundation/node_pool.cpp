#include "foundation/node_pool.h"

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

namespace {
constexpr std::size_t kLine = 64;
constexpr std::size_t kBlockBytes = 256 * 1024;

// An array's size in whole cache lines (an empty one takes one).
std::size_t ArrayLines(std::size_t bytes) { return bytes == 0 ? 1 : (bytes + kLine - 1) / kLine; }

// Block number index, made (bytes long, poisoned) when it is one past the last; when the
// memory cannot be had, nothing has changed.
char* BlockAt(std::vector<char*>& blocks, std::size_t index, std::size_t bytes) {
  if (index == blocks.size()) {
    blocks.reserve(blocks.size() + 1);
    char* block = static_cast<char*>(::operator new(bytes, std::align_val_t{kLine}));
    TW_POOL_POISON(block, bytes);
    blocks.push_back(block);
  }
  return blocks[index];
}
}  // namespace

cNodePoolStore::cNodePoolStore(std::size_t nodeSize)
    : m_nSlot((nodeSize + kLine - 1) / kLine * kLine) {}

void* cNodePoolStore::Take() {
  void* node;
  if (m_pFree) {
    TW_POOL_UNPOISON(m_pFree, m_nSlot);
    node = m_pFree;
    m_pFree = m_pFree->m_pNext;
  } else {
    if (m_pNext == m_pEnd) NextBlock();
    node = m_pNext;
    m_pNext += m_nSlot;
    TW_POOL_UNPOISON(node, m_nSlot);
  }
  ++m_nLive;
  return node;
}

void cNodePoolStore::Give(void* node) noexcept {
  sFree* free = static_cast<sFree*>(node);
  free->m_pNext = m_pFree;
  m_pFree = free;
  TW_POOL_POISON(node, m_nSlot);
  if (--m_nLive == 0) {
    // Every node is back: cut from the start again, so the next list filled in one go lies
    // in order.
    m_pFree = nullptr;
    m_nBlock = 0;
    m_pNext = m_pEnd = nullptr;
  }
}

void cNodePoolStore::NextBlock() {
  const std::size_t count = m_nSlot >= kBlockBytes ? 1 : kBlockBytes / m_nSlot;
  const std::size_t next = m_pEnd ? m_nBlock + 1 : m_nBlock;
  m_pNext = BlockAt(m_Blocks, next, count * m_nSlot);
  m_nBlock = next;
  m_pEnd = m_pNext + count * m_nSlot;
}

void* cArrayPoolStore::Take(std::size_t bytes) {
  const std::size_t lines = ArrayLines(bytes);
  const std::size_t size = lines * kLine;
  std::lock_guard<std::mutex> lock(m_Lock);
  void* array;
  if (sFree*& free = m_pFree[lines - 1]) {
    TW_POOL_UNPOISON(free, size);
    array = free;
    free = free->m_pNext;
  } else {
    if (static_cast<std::size_t>(m_pEnd - m_pNext) < size) NextBlock();
    array = m_pNext;
    m_pNext += size;
    TW_POOL_UNPOISON(array, size);
  }
  ++m_nLive;
  return array;
}

void cArrayPoolStore::Give(void* array, std::size_t bytes) noexcept {
  const std::size_t lines = ArrayLines(bytes);
  std::lock_guard<std::mutex> lock(m_Lock);
  sFree* free = static_cast<sFree*>(array);
  free->m_pNext = m_pFree[lines - 1];
  m_pFree[lines - 1] = free;
  TW_POOL_POISON(array, lines * kLine);
  if (--m_nLive == 0) {
    // Every array is back: cut from the start again, in order.
    for (sFree*& f : m_pFree) f = nullptr;
    m_nBlock = 0;
    m_pNext = m_pEnd = nullptr;
  }
}

void cArrayPoolStore::NextBlock() {
  // What is left of the block stays uncut until every array is back.
  const std::size_t next = m_pEnd ? m_nBlock + 1 : m_nBlock;
  m_pNext = BlockAt(m_Blocks, next, kBlockBytes);
  m_nBlock = next;
  m_pEnd = m_pNext + kBlockBytes;
}

cArrayPoolStore& ArrayPoolStore() {
  static auto* store = new cArrayPoolStore;
  return *store;
}

}  // namespace foundation_detail
