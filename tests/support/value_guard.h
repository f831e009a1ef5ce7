#pragma once
// Sets a global for one scope and puts the old value back when the scope ends.
#include <utility>

template <class T>
class cValueGuard {
 public:
  cValueGuard(T& target, T value) : m_Target(target), m_Old(std::move(target)) {
    m_Target = std::move(value);
  }
  ~cValueGuard() { m_Target = std::move(m_Old); }
  cValueGuard(const cValueGuard&) = delete;
  cValueGuard& operator=(const cValueGuard&) = delete;

 private:
  T& m_Target;
  T m_Old;
};
