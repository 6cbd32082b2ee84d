#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

#include "engine/resample/ResampleJob.h"
#include "engine/resample/ResampleTask.h"

namespace engine {
namespace {

// A job run a few rows at a time writes what the whole job writes, in every
// pair of axis modes, and never more rows than asked for per step.
TEST(ResampleTask, StepsGiveTheBytesOfTheWholeJob) {
  std::mt19937 rng(9);
  const std::tuple<int32_t, int32_t, int32_t, int32_t> cases[] = {
      {9, 7, 4, 3}, {9, 7, 20, 15}, {9, 1, 4, 6},    {1, 9, 6, 4}, {9, 7, 9, 3},
      {9, 7, 4, 7}, {5, 5, 5, 5},   {40, 300, 7, 3}, {3, 4, 9, 11}};
  for (auto [sw, sh, dw, dh] : cases) {
    std::vector<uint8_t> src(size_t(sw) * sh * 3 + 5);
    for (uint8_t& b : src) b = uint8_t(rng());
    std::vector<uint8_t> whole(size_t(dw) * dh * 3, 0xA5);
    ResampleJob(2.2f, dw, dh, sw, sh, whole.data(), dw * 3, src.data(), sw * 3).Resample();
    for (int32_t band : {1, 2, 5}) {
      std::vector<uint8_t> stepped(whole.size(), 0xA5);
      ResampleTask task(2.2f, dw, dh, sw, sh, stepped.data(), dw * 3, src.data(), sw * 3);
      int steps = 0;
      while (task.Step(band)) ++steps;
      EXPECT_TRUE(task.Done());
      EXPECT_FALSE(task.Step(band));
      EXPECT_EQ(stepped, whole) << sw << "x" << sh << " -> " << dw << "x" << dh << " by " << band;
      // Unfiltered jobs are copied in one go; filtered ones take a step per band.
      const bool filtered = !((sw == 1 || sw == dw) && (sh == 1 || sh == dh));
      EXPECT_EQ(steps + 1, filtered ? (dh + band - 1) / band : 1);
    }
  }
}

}  // namespace
}  // namespace engine
