#pragma once

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/Platform.h"

namespace platformtest {

// What every backend promises of posted tasks: they run on the thread that
// waits, in the order posted from one thread, and WaitUntil says whether
// what it waited for came.
inline void ExpectPostedTasksRunInOrderOnTheWaitingThread(platform::Platform& platform) {
  const std::thread::id here = std::this_thread::get_id();
  std::vector<int> ran;
  bool elsewhere = false;
  std::thread worker([&] {
    for (int i = 0; i < 200; ++i)
      platform.PostToMainThread([&, i] {
        elsewhere = elsewhere || std::this_thread::get_id() != here;
        ran.push_back(i);
      });
  });
  worker.join();
  ASSERT_TRUE(platform.WaitUntil([&] { return ran.size() == 200; }, 10000));
  EXPECT_FALSE(elsewhere);
  for (int i = 0; i < 200; ++i) ASSERT_EQ(ran[size_t(i)], i);
  EXPECT_FALSE(platform.WaitUntil([] { return false; }, 20));
  // Asked to wait for what already holds, it does not wait.
  EXPECT_TRUE(platform.WaitUntil([] { return true; }, 0));
}

}  // namespace platformtest
