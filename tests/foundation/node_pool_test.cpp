#include "foundation/node_pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "foundation/containers.h"

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

}  // namespace
