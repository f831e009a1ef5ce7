#include "foundation/node_pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#include "foundation/containers.h"

namespace {
// While set, the aligned allocations of the pools' blocks fail.
bool g_bFailBlocks = false;
}  // namespace

// The aligned allocation of this test program, which the pools' blocks come from.
void* operator new(std::size_t n, std::align_val_t align) {
  const std::size_t a = static_cast<std::size_t>(align);
  if (g_bFailBlocks && n >= 64 * 1024) throw std::bad_alloc();
  if (void* p = std::aligned_alloc(a, (n + a - 1) / a * a)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace {

// Each test has its own element type, so each has a pool of its own.
template <int kTag>
struct sNode {
  char bytes[700] = {};
  int id = 0;
};

template <class T>
std::vector<std::uintptr_t> Addresses(const cList<T, cNodePool<T>>& list) {
  std::vector<std::uintptr_t> out;
  for (const T& e : list) out.push_back(reinterpret_cast<std::uintptr_t>(&e));
  return out;
}

TEST(NodePoolTest, AListFilledInOneGoLiesInItsOrderAtAnEvenStride) {
  using T = sNode<1>;
  cList<T, cNodePool<T>> list;
  for (int i = 0; i < 50; ++i) list.emplace_back().id = i;
  const auto at = Addresses(list);
  // Fifty nodes fit one block: one after the other, each in whole cache lines.
  EXPECT_EQ((at[1] - at[0]) % 64, 0u);
  for (std::size_t i = 1; i < at.size(); ++i) EXPECT_EQ(at[i] - at[i - 1], at[1] - at[0]) << i;
  int id = 0;
  for (const T& e : list) EXPECT_EQ(e.id, id++);
}

TEST(NodePoolTest, FreedNodesComeBackFirstAndAnEmptyPoolStartsAgainInOrder) {
  using T = sNode<2>;
  // More nodes than one block holds, so the fill spans blocks.
  cList<T, cNodePool<T>> list;
  for (int i = 0; i < 1000; ++i) list.emplace_back().id = i;
  const auto first = Addresses(list);

  // A node given back is the next one handed out.
  auto it = std::next(list.begin(), 10);
  const std::uintptr_t freed = reinterpret_cast<std::uintptr_t>(&*it);
  list.erase(it);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(&list.emplace_back()), freed);

  // Nodes moved to another list stay where they are and stay valid.
  cList<T, cNodePool<T>> other;
  other.splice(other.end(), list, list.begin(), std::next(list.begin(), 5));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(&other.front()), first[0]);
  EXPECT_EQ(other.back().id, 4);

  // Once every node is back, a new fill takes the same places in the same order, across the
  // blocks, however the nodes were given back.
  other.clear();
  list.clear();
  cList<T, cNodePool<T>> again;
  for (int i = 0; i < 1000; ++i) again.emplace_back().id = -i;
  EXPECT_EQ(Addresses(again), first);
  int id = 0;
  for (const T& e : again) EXPECT_EQ(e.id, -(id++));
}

// Arrays of two types made one after the other, as a character's set-up makes its flow runs
// and their command runs.
struct sRun {
  char bytes[150] = {};
  int id = 0;
};
struct sCmd {
  char bytes[100] = {};
};
using RunArray = cVector<sRun, cArrayPool<sRun>>;
using CmdArray = cVector<sCmd, cArrayPool<sCmd>>;

std::uintptr_t At(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

TEST(ArrayPoolTest, ArraysLieInTheOrderTheyAreMadeAndAnEmptyPoolStartsAgain) {
  std::vector<RunArray> runs;
  std::vector<CmdArray> cmds;
  for (int i = 0; i < 400; ++i) {  // more than one block holds
    runs.emplace_back(3);
    runs.back()[2].id = i;
    cmds.emplace_back(2);
  }
  // Each array on a cache line, its commands right after its runs (3 x 156 bytes in 8 lines),
  // the next runs right after those (2 x 100 bytes in 4 lines), within each block.
  int adjacent = 0;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    EXPECT_EQ(At(runs[i].data()) % 64, 0u);
    EXPECT_EQ(At(cmds[i].data()), At(runs[i].data()) + 8 * 64) << i;
    if (i > 0 && At(runs[i].data()) == At(cmds[i - 1].data()) + 4 * 64) ++adjacent;
    EXPECT_EQ(runs[i][2].id, static_cast<int>(i));
  }
  EXPECT_GE(adjacent, 395);  // all but where a block ends

  // A freed array's place goes to the next array of the same size; a copy takes its own.
  const std::uintptr_t freed = At(cmds[10].data());
  cmds[10] = CmdArray();
  CmdArray again(2);
  EXPECT_EQ(At(again.data()), freed);
  {
    const RunArray copy = runs[5];
    EXPECT_NE(copy.data(), runs[5].data());
    EXPECT_EQ(copy[2].id, 5);
    // Arrays past the limit come from the heap and work as any other.
    RunArray big(100);
    big[99].id = 7;
    EXPECT_EQ(big[99].id, 7);
  }

  // Once every array is back, the next ones take the first places again, in order.
  const std::uintptr_t first = At(runs[0].data());
  again = CmdArray();
  runs.clear();
  cmds.clear();
  RunArray run(3);
  CmdArray cmd(2);
  EXPECT_EQ(At(run.data()), first);
  EXPECT_EQ(At(cmd.data()), first + 8 * 64);
}

// A block that cannot be had fails the allocation that needed it and changes nothing: the
// next allocation, once memory is there again, gets a good place.
TEST(NodePoolTest, ABlockThatCannotBeHadLeavesThePoolsAsTheyWere) {
  using T = sNode<4>;
  cList<T, cNodePool<T>> list;
  list.emplace_back();  // the first block
  g_bFailBlocks = true;
  bool failed = false;
  for (int i = 0; i < 1000 && !failed; ++i) {  // until the block is full
    try {
      list.emplace_back().id = i;
    } catch (const std::bad_alloc&) {
      failed = true;
    }
  }
  EXPECT_TRUE(failed);
  EXPECT_THROW(list.emplace_back(), std::bad_alloc);
  g_bFailBlocks = false;
  list.emplace_back().id = -1;
  EXPECT_EQ(list.back().id, -1);
  EXPECT_EQ((At(&list.back()) - At(&list.front())) % 64, 0u);  // a slot of the pool

  std::vector<RunArray> arrays;
  arrays.emplace_back(3);
  g_bFailBlocks = true;
  failed = false;
  for (int i = 0; i < 1000 && !failed; ++i) {
    try {
      arrays.emplace_back(3);
    } catch (const std::bad_alloc&) {
      failed = true;
    }
  }
  EXPECT_TRUE(failed);
  g_bFailBlocks = false;
  arrays.emplace_back(3)[2].id = 9;
  EXPECT_EQ(arrays.back()[2].id, 9);
  EXPECT_EQ(At(arrays.back().data()) % 64, 0u);
}

}  // namespace
