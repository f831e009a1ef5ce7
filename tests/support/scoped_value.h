#pragma once
// Sets a variable for the length of a scope and gives it its old value back when the scope
// ends.
#include <utility>

template <class T>
class cScopedGlobal {
 public:
  cScopedGlobal(T& target, T value) : m_Target(target), m_Saved(std::move(target)) {
    m_Target = std::move(value);
  }
  ~cScopedGlobal() { m_Target = std::move(m_Saved); }
  cScopedGlobal(const cScopedGlobal&) = delete;
  cScopedGlobal& operator=(const cScopedGlobal&) = delete;

 private:
  T& m_Target;
  T m_Saved;
};
