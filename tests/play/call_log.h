#pragma once
// The calls a test records through the recorders it installs, in their order.
#include <string>
#include <vector>

inline std::vector<std::string> g_PlayLaterCalls;
