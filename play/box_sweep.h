#pragma once
// A set of boxes in a list's order, searched by place: the boxes sorted by their left edges,
// so that the boxes overlapping a given one are found by looking only near it, and handed
// out in the list's order. A box that moved is put at its new place. Its buffers are kept from
// one filling to the next.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "objects/object.h"

class cBoxSweep {
 public:
  void Clear() {
    m_Boxes.clear();
    m_ByLeft.clear();
    m_Elsewhere.clear();
    m_dMaxWidth = 0;
  }
  // Adds the next box of the list.
  void Add(const sDRect& box) {
    const auto k = static_cast<std::uint32_t>(m_Boxes.size());
    m_Boxes.push_back(box);
    if (Near(box.m_dLeft, box.m_dRight)) {
      m_ByLeft.push_back(k);
      m_dMaxWidth = std::max(m_dMaxWidth, box.m_dRight - box.m_dLeft);
    } else {
      m_Elsewhere.push_back(k);
    }
  }
  // Sorts the boxes added; to be called before searching.
  void Sort() {
    std::stable_sort(m_ByLeft.begin(), m_ByLeft.end(), [this](std::uint32_t a, std::uint32_t b) {
      return m_Boxes[a].m_dLeft < m_Boxes[b].m_dLeft;
    });
  }
  // Box k is now box: it is taken out of the search and put back at its new place.
  void Move(std::uint32_t k, const sDRect& box) {
    sDRect& old = m_Boxes[k];
    if (std::memcmp(&old, &box, sizeof box) == 0) return;
    if (Near(old.m_dLeft, old.m_dRight)) {
      auto it = std::lower_bound(m_ByLeft.begin(), m_ByLeft.end(), old.m_dLeft,
                                 [this](std::uint32_t j, double x) { return m_Boxes[j].m_dLeft < x; });
      while (*it != k) ++it;
      m_ByLeft.erase(it);
    } else {
      m_Elsewhere.erase(std::find(m_Elsewhere.begin(), m_Elsewhere.end(), k));
    }
    old = box;
    if (Near(box.m_dLeft, box.m_dRight)) {
      auto it = std::upper_bound(m_ByLeft.begin(), m_ByLeft.end(), box.m_dLeft,
                                 [this](double x, std::uint32_t j) { return x < m_Boxes[j].m_dLeft; });
      m_ByLeft.insert(it, k);
      m_dMaxWidth = std::max(m_dMaxWidth, box.m_dRight - box.m_dLeft);
    } else {
      m_Elsewhere.push_back(k);
    }
  }
  std::size_t size() const { return m_Boxes.size(); }
  const sDRect& Box(std::uint32_t k) const { return m_Boxes[k]; }

  // The list positions, ascending, of the boxes that overlap with (sDRect::Overlaps).
  void Touching(const sDRect& with, std::vector<std::uint32_t>& out) const {
    out.clear();
    auto test = [&](std::uint32_t k) {
      if (m_Boxes[k].Overlaps(with)) out.push_back(k);
    };
    if (!Near(with.m_dLeft, with.m_dRight)) {
      for (std::uint32_t k = 0; k < m_Boxes.size(); ++k) test(k);
      return;
    }
    for (const std::uint32_t k : m_Elsewhere) test(k);
    // A box that reaches with's left edge starts at most the widest box's width before it.
    const double from = with.m_dLeft - m_dMaxWidth - 1;
    auto it = std::lower_bound(m_ByLeft.begin(), m_ByLeft.end(), from,
                               [this](std::uint32_t k, double x) { return m_Boxes[k].m_dLeft < x; });
    for (; it != m_ByLeft.end() && m_Boxes[*it].m_dLeft <= with.m_dRight; ++it) test(*it);
    std::sort(out.begin(), out.end());
  }

 private:
  // Edges beyond this, and those that are not numbers (which overlap every box), are kept out
  // of the sorted search and tested every time.
  static constexpr double kFar = 1e12;
  static bool Near(double left, double right) {
    return left > -kFar && left < kFar && right > -kFar && right < kFar;
  }

  std::vector<sDRect> m_Boxes;                          // in list order
  std::vector<std::uint32_t> m_ByLeft, m_Elsewhere;  // the near ones by left edge; the others
  double m_dMaxWidth = 0;                               // of the near ones
};
