#include "platform/close_request.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(CloseRequest, IsAFlagUntilAHandlerExistsAndWorksFromAnyThread) {
  platform::ResetCloseRequest();
  EXPECT_FALSE(platform::IsCloseRequested());
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i) threads.emplace_back([] { platform::RequestClose(); });
  for (auto& t : threads) t.join();
  EXPECT_TRUE(platform::IsCloseRequested());
  EXPECT_EQ(platform::CloseRequestCount(), 4);

  static int handled = 0;
  platform::SetCloseHandler([] { ++handled; });
  platform::RequestClose();
  EXPECT_EQ(handled, 1);
  platform::SetCloseHandler(nullptr);
  platform::ResetCloseRequest();
}
