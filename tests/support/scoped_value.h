#pragma once
// Sets a variable for the length of a scope and gives it its old value back when the scope
// ends.
#include <utility>

template <class T>
class cScopedValue {
 public:
  cScopedValue(T& target, T value) : m_Target(target), m_Saved(std::move(target)) {
    m_Target = std::move(value);
  }
  ~cScopedValue() { m_Target = std::move(m_Saved); }
  cScopedValue(const cScopedValue&) = delete;
  cScopedValue& operator=(const cScopedValue&) = delete;

 private:
  T& m_Target;
  T m_Saved;
};
