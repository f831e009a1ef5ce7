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

// Places of whole cache lines cut from 256 KB blocks, one after the other in the order they
// are asked for. A place given back goes to the next request of its size; once every place is
// back, cutting starts again at the first block, in order. The blocks are kept for the rest of
// the run. Not locked.
class cLineStore {
 public:
  static constexpr std::size_t kLine = 64;
  static constexpr std::size_t kBlockBytes = 256 * 1024;

  cLineStore() = default;
  cLineStore(const cLineStore&) = delete;
  cLineStore& operator=(const cLineStore&) = delete;

  // A place of lines cache lines, 1 to kBlockBytes / kLine.
  void* Take(std::size_t lines);
  void Give(void* place, std::size_t lines) noexcept;

 private:
  struct sFree {
    sFree* m_pNext;
  };
  void NextBlock();

  std::size_t m_nLive = 0;   // places handed out and not given back
  std::size_t m_nBlock = 0;  // the block being cut, an index into m_Blocks
  char* m_pNext = nullptr;   // the next uncut line of that block
  char* m_pEnd = nullptr;
  std::vector<sFree*> m_Free;  // the places given back, by their size in lines less one
  std::vector<char*> m_Blocks;
};

// The cache lines that bytes take (an empty request takes one).
constexpr std::size_t LinesOf(std::size_t bytes) {
  return bytes == 0 ? 1 : (bytes + cLineStore::kLine - 1) / cLineStore::kLine;
}

// The store of the array pools, shared by every type, locked, as arrays are copied wherever
// their owners are.
inline constexpr std::size_t kMaxArrayBytes = 2048;
void* TakeArray(std::size_t bytes);
void GiveArray(void* array, std::size_t bytes) noexcept;

}  // namespace foundation_detail

template <class T>
class cNodePool {
 public:
  using value_type = T;

  cNodePool() noexcept = default;
  template <class U>
  cNodePool(const cNodePool<U>&) noexcept {}

  T* allocate(std::size_t n) {
    if (n != 1 || !Pooled()) return std::allocator<T>().allocate(n);
    return static_cast<T*>(Store().Take(Lines()));
  }
  void deallocate(T* p, std::size_t n) noexcept {
    if (n != 1 || !Pooled()) return std::allocator<T>().deallocate(p, n);
    Store().Give(p, Lines());
  }

  template <class U>
  bool operator==(const cNodePool<U>&) const noexcept {
    return true;
  }

 private:
  // (Asked where T is complete: the lists name their nodes' type before it is.)
  static constexpr std::size_t Lines() {
    static_assert(alignof(T) <= 64, "a node is aligned to a cache line at most");
    return foundation_detail::LinesOf(sizeof(T));
  }
  // A node larger than a block comes from the heap.
  static constexpr bool Pooled() {
    return Lines() * foundation_detail::cLineStore::kLine <=
           foundation_detail::cLineStore::kBlockBytes;
  }

  // Never destroyed: lists that outlive it (globals) give their nodes back at exit.
  static foundation_detail::cLineStore& Store() {
    static auto* store = new foundation_detail::cLineStore;
    return *store;
  }
};

// An allocator for the small arrays that the play loop reads beside the list nodes each
// sub-step (a character's flow runs, a flow's command runs). Arrays of up to kMaxArrayBytes, of
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
    return static_cast<T*>(foundation_detail::TakeArray(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept {
    if (n > kMaxCount) return std::allocator<T>().deallocate(p, n);
    foundation_detail::GiveArray(p, n * sizeof(T));
  }

  template <class U>
  bool operator==(const cArrayPool<U>&) const noexcept {
    return true;
  }

 private:
  static_assert(alignof(T) <= 64, "an array is aligned to a cache line at most");
  static constexpr std::size_t kMaxCount = foundation_detail::kMaxArrayBytes / sizeof(T);
};
