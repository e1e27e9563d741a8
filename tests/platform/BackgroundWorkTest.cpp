// The background worker: jobs run away from the posting thread, one after another in the order
// posted, and each can be waited for; finishing waits for what is queued and ends the worker.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/BackgroundWork.h"
#include "platform/HeadlessDriver.h"

namespace plat {
namespace {

class BackgroundWorkTest : public ::testing::Test {
 protected:
  void SetUp() override { HeadlessDriver::Reset(); }
  void TearDown() override { HeadlessDriver::Reset(); }
};

TEST_F(BackgroundWorkTest, JobsRunInTheOrderPostedAwayFromThePostingThread) {
  std::vector<int> order;  // written by the worker only, read after waiting
  std::vector<std::thread::id> ran;
  std::vector<BackgroundWork::Ticket> tickets;
  for (int i = 0; i < 40; ++i) {
    tickets.push_back(BackgroundWork::Post([&order, &ran, i] {
      if (i == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));  // the rest queue up
      order.push_back(i);
      ran.push_back(std::this_thread::get_id());
    }));
  }
  EXPECT_TRUE(BackgroundWork::Running());
  for (size_t i = 1; i < tickets.size(); ++i) EXPECT_GT(tickets[i], tickets[i - 1]);
  BackgroundWork::WaitFor(tickets[20]);
  EXPECT_TRUE(BackgroundWork::Done(tickets[20]));
  EXPECT_GE(order.size(), 21u);
  BackgroundWork::WaitFor(tickets.back());
  ASSERT_EQ(order.size(), 40u);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(order[size_t(i)], i);
  for (const std::thread::id& id : ran) EXPECT_NE(id, std::this_thread::get_id());
  EXPECT_TRUE(BackgroundWork::Done(0));
  BackgroundWork::WaitFor(0);  // no job: at once
}

TEST_F(BackgroundWorkTest, AJobThatThrowsEndsAloneAndTheNextOnesRun) {
  std::atomic<int> after{0};
  BackgroundWork::Post([] { throw std::runtime_error("a faulty job"); });
  const BackgroundWork::Ticket last = BackgroundWork::Post([&after] { ++after; });
  BackgroundWork::WaitFor(last);
  EXPECT_EQ(after.load(), 1);
}

TEST_F(BackgroundWorkTest, FinishingWaitsForQueuedJobsAndALaterPostStartsAnotherWorker) {
  std::atomic<int> done{0};
  for (int i = 0; i < 3; ++i)
    BackgroundWork::Post([&done] {
      std::this_thread::sleep_for(std::chrono::milliseconds(3));
      ++done;
    });
  BackgroundWork::Finish();
  EXPECT_EQ(done.load(), 3);
  EXPECT_FALSE(BackgroundWork::Running());
  BackgroundWork::Finish();  // nothing to end
  const BackgroundWork::Ticket again = BackgroundWork::Post([&done] { ++done; });
  EXPECT_TRUE(BackgroundWork::Running());
  BackgroundWork::WaitFor(again);
  EXPECT_EQ(done.load(), 4);
  // The desktop's reset ends the worker as well.
  BackgroundWork::Post([&done] { ++done; });
  HeadlessDriver::Reset();
  EXPECT_FALSE(BackgroundWork::Running());
  EXPECT_EQ(done.load(), 5);
}

}  // namespace
}  // namespace plat
