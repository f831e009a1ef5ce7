#pragma once
// The program's indexed containers. Every index is tested: a bad one is written to the logs,
// the main window is asked to close, and the caller gets a usable element so that the work
// in progress (a frame, a file read) finishes before the orderly shut-down.
#include <algorithm>
#include <concepts>
#include <type_traits>
#include <cstdint>
#include <list>
#include <vector>

// What may index a container: any integer, or an enumeration naming a position.
template <class I>
concept cIndex = std::integral<I> || std::is_enum_v<I>;

namespace foundation_detail {
// Writes the fault line and asks the main window to close. kind is 'V' or 'L'.
[[gnu::cold, gnu::noinline]] void IndexFault(char kind, std::int64_t index, std::int64_t size,
                                            std::int64_t elementSize);
// Writes the fault line only (for callers that refuse the access themselves and go on).
[[gnu::cold]] void ReportIndexFault(char kind, std::int64_t index, std::int64_t size,
                                    std::int64_t elementSize);
}  // namespace foundation_detail

template <class T, class A = std::allocator<T>>
class cVector : public std::vector<T, A> {
 public:
  using std::vector<T, A>::vector;
  cVector() = default;
  cVector(const std::vector<T, A>& v) : std::vector<T, A>(v) {}
  cVector(std::vector<T, A>&& v) : std::vector<T, A>(std::move(v)) {}

  template <cIndex I>
  T& operator[](I index) {
    return At(static_cast<std::int64_t>(index));
  }
  template <cIndex I>
  const T& operator[](I index) const {
    return const_cast<cVector*>(this)->At(static_cast<std::int64_t>(index));
  }

  // Sets every element to value.
  void Fill(const T& value) {
    for (int i = 0; i < static_cast<int>(this->size()); ++i) (*this)[i] = value;
  }

  // The number of elements equal to value.
  int Count(const T& value) const {
    return static_cast<int>(std::count(this->begin(), this->end(), value));
  }

  // The element handed out for a bad index into an empty vector: one per element type,
  // shared and writable, as the list keeps it.
  static T& DefaultElement() {
    static T element{};
    return element;
  }

 private:
  T& At(std::int64_t index) {
    const std::int64_t size = static_cast<std::int64_t>(this->size());
    if (index >= 0 && index < size) [[likely]]
      return std::vector<T, A>::operator[](static_cast<std::size_t>(index));
    foundation_detail::IndexFault('V', index, size, static_cast<std::int64_t>(sizeof(T)));
    if (size > 0) return std::vector<T, A>::front();
    return DefaultElement();
  }
};

template <class T, class A = std::allocator<T>>
class cList : public std::list<T, A> {
 public:
  using std::list<T, A>::list;
  cList() = default;

  template <cIndex I>
  T& operator[](I position) {
    return At(static_cast<std::int64_t>(position));
  }
  template <cIndex I>
  const T& operator[](I position) const {
    return const_cast<cList*>(this)->At(static_cast<std::int64_t>(position));
  }

  // The element every failed access of this list type returns; what a caller writes into
  // it stays there for the next failed access.
  static T& DefaultElement() {
    static T element{};
    return element;
  }

 private:
  T& At(std::int64_t position) {
    const std::int64_t size = static_cast<std::int64_t>(this->size());
    if (position >= 0 && position < size) {
      auto it = this->begin();
      for (std::int64_t i = 0; i < position; ++i) ++it;
      return *it;
    }
    foundation_detail::IndexFault('L', position, size, static_cast<std::int64_t>(sizeof(T)));
    return DefaultElement();
  }
};
