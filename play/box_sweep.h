#pragma once
// A set of boxes in a list's order, searched by place: the boxes sorted by their left edges,
// so that the boxes overlapping a given one are found by looking only near it, and handed
// out in the list's order. A box that moved is put at its new place. Its buffers are kept from
// one filling to the next.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "objects/object.h"

class cBoxSweep {
 public:
  void Clear() {
    // The last order is kept: filled again with the same boxes a little moved, it is nearly
    // in order.
    m_nLastCount = m_Boxes.size();
    m_Last.swap(m_ByLeft);
    m_Boxes.clear();
    m_ByLeft.clear();
    m_Elsewhere.clear();
    m_dMaxWidth = 0;
    m_bPlaced = false;
  }
  // Adds the next box of the list.
  void Add(const sDRect& box) {
    const auto k = static_cast<std::uint32_t>(m_Boxes.size());
    m_Boxes.push_back(box);
    if (Near(box.m_dLeft, box.m_dRight)) {
      m_ByLeft.push_back({box.m_dLeft, k});
      m_dMaxWidth = std::max(m_dMaxWidth, box.m_dRight - box.m_dLeft);
    } else {
      m_Elsewhere.push_back(k);
    }
  }
  // Sorts the boxes added; to be called before searching. When the last filling had as many
  // boxes, all near, the order starts from the last one, put right by insertion (and by a
  // full sort should that take long).
  void Sort() {
    const std::size_t n = m_ByLeft.size();
    if (n == m_Boxes.size() && m_nLastCount == n && m_Last.size() == n) {
      for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t k = m_Last[i].k;
        m_ByLeft[i] = {m_Boxes[k].m_dLeft, k};
      }
      std::size_t shifts = 0;
      for (std::size_t i = 1; i < n && shifts <= 8 * n; ++i) {
        const sKey key = m_ByLeft[i];
        std::size_t j = i;
        for (; j > 0 && Before(key, m_ByLeft[j - 1]); --j) m_ByLeft[j] = m_ByLeft[j - 1];
        m_ByLeft[j] = key;
        shifts += i - j;
      }
    }
    if (!std::is_sorted(m_ByLeft.begin(), m_ByLeft.end(), Before))
      std::sort(m_ByLeft.begin(), m_ByLeft.end(), Before);
    m_bPlaced = false;
  }
  // Box k is now box: it is taken out of the search and put back at its new place.
  void Move(std::uint32_t k, const sDRect& box) {
    sDRect& old = m_Boxes[k];
    if (std::memcmp(&old, &box, sizeof box) == 0) return;
    if (Near(old.m_dLeft, old.m_dRight)) {
      std::size_t i = FirstFrom(old.m_dLeft);
      while (m_ByLeft[i].k != k) ++i;
      m_ByLeft.erase(m_ByLeft.begin() + static_cast<std::ptrdiff_t>(i));
      m_bPlaced = false;
    } else {
      m_Elsewhere.erase(std::find(m_Elsewhere.begin(), m_Elsewhere.end(), k));
    }
    old = box;
    if (Near(box.m_dLeft, box.m_dRight)) {
      const auto it =
          std::upper_bound(m_ByLeft.begin(), m_ByLeft.end(), box.m_dLeft,
                           [](double x, const sKey& key) { return x < key.dLeft; });
      m_ByLeft.insert(it, {box.m_dLeft, k});
      m_bPlaced = false;
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
    if (!m_bPlaced) Place();
    if (!m_ByLeft.empty()) {
      // A box that reaches with's left edge starts at most the widest box's width before it.
      // The keys from `from` to with's right edge lie in the stretches of those two.
      const double from = with.m_dLeft - m_dMaxWidth - 1;
      const std::size_t to = Stretch(with.m_dRight);
      std::size_t i = m_Start[Stretch(from)];
      const std::size_t end = to < m_nStretches ? m_Start[to + 1] : m_ByLeft.size();
      if (i < end && end - i > kShortRun) i = FirstFrom(from, i, end);
      for (; i < end; ++i) {
        const sKey& key = m_ByLeft[i];
        if (key.dLeft > with.m_dRight) break;
        if (key.dLeft >= from) test(key.k);
      }
    }
    if (out.size() > 1) std::sort(out.begin(), out.end());
  }

 private:
  // A near box's left edge beside its list position, so that the search and the scan read
  // one array.
  struct sKey {
    double dLeft;
    std::uint32_t k;
  };
  static bool Before(const sKey& a, const sKey& b) {
    return a.dLeft < b.dLeft || (a.dLeft == b.dLeft && a.k < b.k);
  }

  // Edges beyond this, and those that are not numbers (which overlap every box), are kept out
  // of the sorted search and tested every time.
  static constexpr double kFar = 1e12;
  static bool Near(double left, double right) {
    return left > -kFar && left < kFar && right > -kFar && right < kFar;
  }

  // The place of the first near box whose left edge is not before x, searched between from
  // and to: a binary search whose steps do not branch on the keys.
  std::size_t FirstFrom(double x, std::size_t from = 0, std::size_t to = ~std::size_t{0}) const {
    std::size_t n = std::min(to, m_ByLeft.size()) - from;
    if (n == 0) return from;
    const sKey* const first = m_ByLeft.data() + from;
    const sKey* base = first;
    while (n > 1) {
      const std::size_t half = n / 2;
      base = base[half].dLeft < x ? base + half : base;
      n -= half;
    }
    return from + static_cast<std::size_t>(base - first) + (base->dLeft < x ? 1 : 0);
  }

  // The left edges are cut into as many equal stretches as there are keys (at most
  // kMaxStretches), and m_Start[b] is the first key of stretch b or later. Stretch() never
  // decreases with its argument, so every key before m_Start[Stretch(x)] is before x and every
  // key from m_Start[Stretch(x) + 1] on is after it: a search looks only between the two, key
  // by key, or by halves when there are more than kShortRun.
  static constexpr std::size_t kMaxStretches = 4096;
  static constexpr std::size_t kShortRun = 16;
  std::size_t Stretch(double x) const {
    const double f = (x - m_dLow) * m_dScale;
    if (!(f > 0)) return 0;
    // f is below the count of stretches here: a signed conversion is exact and cheaper.
    return f >= static_cast<double>(m_nStretches)
               ? m_nStretches
               : static_cast<std::size_t>(static_cast<std::int64_t>(f));
  }
  void Place() const {
    m_bPlaced = true;
    const std::size_t n = m_ByLeft.size();
    m_nStretches = std::min(n, kMaxStretches);
    m_Start.resize(m_nStretches + 1);
    if (n == 0) return;
    m_dLow = m_ByLeft.front().dLeft;
    const double span = m_ByLeft.back().dLeft - m_dLow;
    m_dScale = span > 0 ? static_cast<double>(m_nStretches) / span : 0;
    std::size_t b = 0;
    for (std::size_t i = 0; i < n; ++i)
      for (const std::size_t upTo = Stretch(m_ByLeft[i].dLeft); b <= upTo; ++b)
        m_Start[b] = static_cast<std::uint32_t>(i);
    for (; b <= m_nStretches; ++b) m_Start[b] = static_cast<std::uint32_t>(n);
  }

  std::vector<sDRect> m_Boxes;            // in list order
  std::vector<sKey> m_ByLeft;             // the near ones by left edge, then list position
  std::vector<std::uint32_t> m_Elsewhere;  // the others, in no order
  double m_dMaxWidth = 0;                 // of the near ones
  std::vector<sKey> m_Last;  // m_ByLeft of the last filling
  std::size_t m_nLastCount = 0;  // the count of its boxes
  // The stretches of the left edges, made again at the first search after a change.
  mutable std::vector<std::uint32_t> m_Start;
  mutable std::size_t m_nStretches = 0;
  mutable double m_dLow = 0, m_dScale = 0;
  mutable bool m_bPlaced = false;
};
