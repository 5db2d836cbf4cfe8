// The thread that tries a sound device again: an attempt that fails a few times and then
// works, attempts only while armed, a nudge that does not wait the period, and a stop
// that does not wait it either.
#include "audio/retry_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

namespace fenwhit {
namespace {

using std::chrono::milliseconds;

// Waits up to five seconds for the condition.
template <typename Condition>
bool Eventually(Condition condition) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(milliseconds(2));
  }
  return true;
}

TEST(RetryThread, TriesEachPeriodWhileArmedUntilItWorksAndStopsAtOnce) {
  std::atomic<int> failuresLeft{3};
  std::atomic<int> attempts{0};
  std::atomic<std::thread::id> triedOn{};
  RetryThread retry(milliseconds(5), [&] {
    ++attempts;
    triedOn = std::this_thread::get_id();
    return failuresLeft.fetch_sub(1) > 0;
  });
  std::this_thread::sleep_for(milliseconds(30));
  EXPECT_EQ(attempts, 0);  // not armed: nothing is tried

  retry.Arm();
  ASSERT_TRUE(Eventually([&] { return attempts == 4; }));
  std::this_thread::sleep_for(milliseconds(30));
  EXPECT_EQ(attempts, 4);  // three failures, one success, then quiet
  EXPECT_NE(triedOn.load(), std::this_thread::get_id());
  retry.Nudge();  // not armed: nothing
  std::this_thread::sleep_for(milliseconds(30));
  EXPECT_EQ(attempts, 4);

  // Armed again, it starts over.
  failuresLeft = 1;
  retry.Arm();
  ASSERT_TRUE(Eventually([&] { return attempts == 6; }));
}

TEST(RetryThread, ANudgeTriesAtOnceAndStoppingDoesNotWaitThePeriod) {
  std::atomic<int> attempts{0};
  auto retry = std::make_unique<RetryThread>(std::chrono::hours(1), [&] {
    ++attempts;
    return true;
  });
  retry->Arm();
  retry->Nudge();
  ASSERT_TRUE(Eventually([&] { return attempts == 1; }));
  retry->Nudge();
  ASSERT_TRUE(Eventually([&] { return attempts == 2; }));
  // An hour left of the period: going away must not wait for it.
  auto gone = std::async(std::launch::async, [&] { retry.reset(); });
  EXPECT_EQ(gone.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_EQ(attempts, 2);
}

}  // namespace
}  // namespace fenwhit
