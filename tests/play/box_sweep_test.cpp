#include "play/box_sweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

// What a walk of every box finds.
std::vector<std::uint32_t> Walk(const std::vector<sDRect>& boxes, const sDRect& with) {
  std::vector<std::uint32_t> out;
  for (std::uint32_t k = 0; k < boxes.size(); ++k)
    if (boxes[k].Overlaps(with)) out.push_back(k);
  return out;
}

// Mostly small boxes close together; now and then a wide one, one inside out, one far off or
// one that is not a number (which overlaps everything).
sDRect RandomBox(std::mt19937& rng) {
  auto u = [&rng](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
  const double x = std::floor(u(-50, 600)), y = std::floor(u(-50, 400));
  switch (rng() % 20) {
    case 0: return {x, y, x + u(100, 700), y + u(0, 40)};
    case 1: return {x, y, x - u(1, 30), y + u(0, 40)};
    case 2: return {x + 2e12, y, x + 2e12 + 10, y + 10};
    case 3: return {-1e300, y, 1e300, y + 5};
    case 4: return {std::numeric_limits<double>::quiet_NaN(), y, x, y + 5};
    default: return {x, y, x + std::floor(u(0, 48)), y + std::floor(u(0, 48))};
  }
}

// A box of the usual kind: small and near.
sDRect NearBox(std::mt19937& rng) {
  sDRect box = RandomBox(rng);
  while (!(std::fabs(box.m_dLeft) < 1e4 && std::fabs(box.m_dRight) < 1e4)) box = RandomBox(rng);
  return box;
}

TEST(BoxSweep, FindsWhatAWalkFindsInListOrderAfterFillingAndAfterMoves) {
  std::mt19937 rng(7);
  cBoxSweep sweep;
  std::vector<std::uint32_t> found;
  std::vector<sDRect> boxes;
  for (int round = 0; round < 24; ++round) {
    // Fillings: any boxes; boxes in order of left edges, with ties (a list kept by place); the
    // last round's boxes a little moved, all near; the same boxes in another order.
    const int kind = round % 4;
    sweep.Clear();
    if (kind == 0 || kind == 1) {
      boxes.resize(static_cast<std::size_t>(rng() % 200));
      for (sDRect& box : boxes) box = RandomBox(rng);
    }
    if (kind == 1) {
      for (sDRect& box : boxes) box.m_dLeft = std::floor(box.m_dLeft / 8) * 8;
      const auto key = [](const sDRect& b) { return std::isnan(b.m_dLeft) ? -INFINITY : b.m_dLeft; };
      std::stable_sort(boxes.begin(), boxes.end(),
                       [&](const sDRect& a, const sDRect& b) { return key(a) < key(b); });
    }
    if (kind == 2) {
      for (sDRect& box : boxes) {
        const double dx = static_cast<double>(rng() % 7) - 3;
        box = std::fabs(box.m_dLeft) < 1e4 && std::fabs(box.m_dRight) < 1e4
                  ? sDRect{box.m_dLeft + dx, box.m_dTop, box.m_dRight + dx, box.m_dBottom}
                  : NearBox(rng);
      }
    }
    if (kind == 3) std::shuffle(boxes.begin(), boxes.end(), rng);
    for (const sDRect& box : boxes) sweep.Add(box);
    sweep.Sort();
    for (int step = 0; step < 200; ++step) {
      if (!boxes.empty() && step % 2 == 1) {
        const auto k = static_cast<std::uint32_t>(rng() % boxes.size());
        if (step % 10 != 3) boxes[k] = kind >= 2 ? NearBox(rng) : RandomBox(rng);
        sweep.Move(k, boxes[k]);
      }
      const sDRect with = RandomBox(rng);
      sweep.Touching(with, found);
      ASSERT_EQ(found, Walk(boxes, with)) << "round " << round << ", step " << step;
    }
  }
}

}  // namespace
