#pragma once
// Saves a global (any copyable value, or an atomic) and puts it back when the scope ends, so
// that a test that changes it can never leak the change into the next test.
//
//   cScopedGlobal bpp(g_nBpp, 16);   // g_nBpp is 16 until bpp goes out of scope
//   cScopedGlobal system(g_SystemData);  // free to change; restored afterwards
//   cScopedGlobal palette(g_Palette);     // arrays too, element by element
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <utility>

template <class T>
class cScopedGlobal {
 public:
  explicit cScopedGlobal(T& global) : m_Global(global), m_Saved(global) {}
  template <class U>
  cScopedGlobal(T& global, U&& value) : cScopedGlobal(global) {
    m_Global = std::forward<U>(value);
  }
  ~cScopedGlobal() { m_Global = std::move(m_Saved); }
  cScopedGlobal(const cScopedGlobal&) = delete;
  cScopedGlobal& operator=(const cScopedGlobal&) = delete;

 private:
  T& m_Global;
  T m_Saved;
};

template <class T>
class cScopedGlobal<std::atomic<T>> {
 public:
  explicit cScopedGlobal(std::atomic<T>& global) : m_Global(global), m_Saved(global.load()) {}
  template <class U>
  cScopedGlobal(std::atomic<T>& global, U&& value) : cScopedGlobal(global) {
    m_Global.store(static_cast<T>(std::forward<U>(value)));
  }
  ~cScopedGlobal() { m_Global.store(m_Saved); }
  cScopedGlobal(const cScopedGlobal&) = delete;
  cScopedGlobal& operator=(const cScopedGlobal&) = delete;

 private:
  std::atomic<T>& m_Global;
  T m_Saved;
};

template <class T, std::size_t N>
class cScopedGlobal<T[N]> {
 public:
  explicit cScopedGlobal(T (&global)[N]) : m_Global(global) { std::copy(global, global + N, m_Saved); }
  ~cScopedGlobal() { std::copy(m_Saved, m_Saved + N, m_Global); }
  cScopedGlobal(const cScopedGlobal&) = delete;
  cScopedGlobal& operator=(const cScopedGlobal&) = delete;

 private:
  T (&m_Global)[N];
  T m_Saved[N];
};

template <class T>
cScopedGlobal(T&) -> cScopedGlobal<T>;
template <class T, class U>
cScopedGlobal(T&, U&&) -> cScopedGlobal<T>;
