#pragma once
// Runs checks in a fresh copy of the test program: the thread-safe death-test style starts the
// program again for the current test alone, so the copy has seen nothing but static
// initialisation and that test's own set-up, however many tests ran before in this process.
// The copy's failures print as they happen; its exit code tells this process whether there were
// any. The copy ends without running destructors of the test's scope, so checks that made files
// remove them themselves.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "scoped_value.h"

template <class F>
void InFreshProcess(F&& checks) {
  cScopedGlobal style(::testing::GTEST_FLAG(death_test_style), std::string("threadsafe"));
  EXPECT_EXIT(
      {
        checks();
        std::exit(::testing::Test::HasFailure() ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
}
