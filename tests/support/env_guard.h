#pragma once
// Sets an environment variable for one scope and puts the old value (or its absence) back
// when the scope ends.
#include <cstdlib>
#include <optional>
#include <string>

class cEnvGuard {
 public:
  cEnvGuard(const char* name, const std::string& value) : m_strName(name) {
    if (const char* old = std::getenv(name)) m_Old = old;
    setenv(name, value.c_str(), 1);
  }
  ~cEnvGuard() {
    if (m_Old) setenv(m_strName.c_str(), m_Old->c_str(), 1);
    else unsetenv(m_strName.c_str());
  }
  cEnvGuard(const cEnvGuard&) = delete;
  cEnvGuard& operator=(const cEnvGuard&) = delete;

 private:
  std::string m_strName;
  std::optional<std::string> m_Old;
};
