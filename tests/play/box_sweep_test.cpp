#include "play/box_sweep.h"

#include <gtest/gtest.h>

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

TEST(BoxSweep, FindsWhatAWalkFindsInListOrderAfterFillingAndAfterMoves) {
  std::mt19937 rng(7);
  cBoxSweep sweep;
  std::vector<std::uint32_t> found;
  for (int round = 0; round < 20; ++round) {
    std::vector<sDRect> boxes(static_cast<std::size_t>(rng() % 200));
    sweep.Clear();
    for (sDRect& box : boxes) {
      box = RandomBox(rng);
      sweep.Add(box);
    }
    sweep.Sort();
    for (int step = 0; step < 200; ++step) {
      if (!boxes.empty() && step % 2 == 1) {
        const auto k = static_cast<std::uint32_t>(rng() % boxes.size());
        boxes[k] = step % 10 == 3 ? boxes[k] : RandomBox(rng);
        sweep.Move(k, boxes[k]);
      }
      const sDRect with = RandomBox(rng);
      sweep.Touching(with, found);
      ASSERT_EQ(found, Walk(boxes, with)) << "round " << round << ", step " << step;
    }
  }
}

}  // namespace
