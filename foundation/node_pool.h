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
#include <mutex>
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

// The store of the array pools: arrays of every size and type are cut from the same blocks
// in the order they are made; a freed array is kept for the next one of its size in whole
// cache lines. Locked, as arrays are copied wherever their owners are.
class cArrayPoolStore {
 public:
  static constexpr std::size_t kMaxBytes = 2048;

  void* Take(std::size_t bytes);
  void Give(void* array, std::size_t bytes) noexcept;

 private:
  struct sFree {
    sFree* m_pNext;
  };
  void NextBlock();

  std::mutex m_Lock;
  std::size_t m_nLive = 0;
  std::size_t m_nBlock = 0;
  char* m_pNext = nullptr;
  char* m_pEnd = nullptr;
  sFree* m_pFree[kMaxBytes / 64] = {};
  std::vector<char*> m_Blocks;
};

// The one store, never destroyed (arrays of globals go back to it at exit).
cArrayPoolStore& ArrayPoolStore();

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

// An allocator for the small arrays that the play loop reads beside the list nodes each
// sub-step (a character's flow runs, a flow's command runs). Arrays of up to kMaxBytes, of
// every type that uses it, are cut one after the other from shared blocks, each on a cache
// line, in the order they are made: what a character set up in one go makes lies together,
// and a list filled in one go has its arrays in its own order, so a walk over it reads
// memory forward. Larger arrays come from the heap.
template <class T>
class cArrayPool {
 public:
  using value_type = T;

  cArrayPool() noexcept = default;
  template <class U>
  cArrayPool(const cArrayPool<U>&) noexcept {}

  T* allocate(std::size_t n) {
    if (n > kMaxCount) return std::allocator<T>().allocate(n);
    return static_cast<T*>(Stores().Take(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept {
    if (n > kMaxCount) return std::allocator<T>().deallocate(p, n);
    Stores().Give(p, n * sizeof(T));
  }

  template <class U>
  bool operator==(const cArrayPool<U>&) const noexcept {
    return true;
  }

 private:
  static_assert(alignof(T) <= 64, "an array is aligned to a cache line at most");
  static constexpr std::size_t kMaxCount =
      foundation_detail::cArrayPoolStore::kMaxBytes / sizeof(T);

  static foundation_detail::cArrayPoolStore& Stores() {
    return foundation_detail::ArrayPoolStore();
  }
};
