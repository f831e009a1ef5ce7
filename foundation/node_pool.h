#pragma once
// An allocator for the nodes of a list that the play loop walks many times a frame. Nodes are
// cut from large blocks one after the other, so a list filled in one go lies in memory in its
// own order and a walk over it reads memory at an even stride, which the processor fetches
// ahead. Each node starts on a cache line. A freed node is handed out again first; once every
// node is back (a stage was cleared), cutting starts again at the first block, in order. The
// blocks are kept for the rest of the run.
//
// One pool per node type, not locked: the lists that use it belong to the game thread.
#include <cstddef>
#include <memory>
#include <vector>

namespace foundation_detail {

class cNodePoolStore {
 public:
  explicit cNodePoolStore(std::size_t nodeSize);
  cNodePoolStore(const cNodePoolStore&) = delete;
  cNodePoolStore& operator=(const cNodePoolStore&) = delete;

  void* Take();
  void Give(void* node) noexcept;

 private:
  struct sFree {
    sFree* m_pNext;
  };
  void NextBlock();

  std::size_t m_nSlot;       // node size rounded up to whole cache lines
  std::size_t m_nLive = 0;   // nodes handed out and not given back
  std::size_t m_nBlock = 0;  // the block being cut, an index into m_Blocks
  char* m_pNext = nullptr;   // the next uncut slot of that block
  char* m_pEnd = nullptr;
  sFree* m_pFree = nullptr;
  std::vector<char*> m_Blocks;
};

}  // namespace foundation_detail

template <class T>
class cNodePool {
 public:
  using value_type = T;

  cNodePool() noexcept = default;
  template <class U>
  cNodePool(const cNodePool<U>&) noexcept {}

  T* allocate(std::size_t n) {
    if (n != 1) return std::allocator<T>().allocate(n);
    return static_cast<T*>(Store().Take());
  }
  void deallocate(T* p, std::size_t n) noexcept {
    if (n != 1) return std::allocator<T>().deallocate(p, n);
    Store().Give(p);
  }

  template <class U>
  bool operator==(const cNodePool<U>&) const noexcept {
    return true;
  }

 private:
  // Never destroyed: lists that outlive it (globals) give their nodes back at exit.
  static foundation_detail::cNodePoolStore& Store() {
    static_assert(alignof(T) <= 64, "a node is aligned to a cache line at most");
    static auto* store = new foundation_detail::cNodePoolStore(sizeof(T));
    return *store;
  }
};
