#include "foundation/ppThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Reports through promises when it ran and when it was deleted; the test owns the promises.
class ProbeThread : public ppThread {
 public:
  struct Signals {
    std::promise<void> ran;
    std::promise<void> deleted;
    std::promise<void> mayFinish;
    std::atomic<bool> stopSeen{false};
    std::atomic<int> runs{0};
  };
  ProbeThread(bool suspended, Signals& s) : ppThread(suspended), signals(s) {}
  ~ProbeThread() override { signals.deleted.set_value(); }

 protected:
  Signals& signals;
};

class RunOnce : public ProbeThread {
 public:
  using ProbeThread::ProbeThread;
  void Run() override {
    signals.runs++;
    signals.ran.set_value();
  }
};

TEST(Thread, SuspendedThreadRunsOnlyAfterResumeAndIsDeletedAfterwards) {
  RunOnce::Signals s;
  auto ran = s.ran.get_future();
  auto deleted = s.deleted.get_future();
  auto* t = new RunOnce(true, s);
  ASSERT_TRUE(t->IsStarted());
  EXPECT_NE(t->threadId, 0u);
  EXPECT_EQ(ran.wait_for(10ms), std::future_status::timeout);
  EXPECT_EQ(s.runs, 0);
  t->Resume();
  ran.wait();
  deleted.wait();
  EXPECT_EQ(s.runs, 1);
}

TEST(Thread, NestedSuspendsNeedAsManyResumes) {
  RunOnce::Signals s;
  auto ran = s.ran.get_future();
  auto deleted = s.deleted.get_future();
  auto* t = new RunOnce(true, s);
  t->Suspend();  // from the creating thread: counted, does not block here
  t->Resume();
  EXPECT_EQ(ran.wait_for(10ms), std::future_status::timeout);
  t->Resume();
  ran.wait();
  deleted.wait();
}

TEST(Thread, TerminatingAnUnstartedThreadSkipsRun) {
  RunOnce::Signals s;
  auto deleted = s.deleted.get_future();
  auto* t = new RunOnce(true, s);
  t->Terminate();
  deleted.wait();
  EXPECT_EQ(s.runs, 0);
}

// Sleeps "for a minute" and suspends itself; a stop request must end both waits at once.
class LongWaiter : public ProbeThread {
 public:
  using ProbeThread::ProbeThread;
  void Run() override {
    signals.ran.set_value();
    Sleep(60000);
    if (!StopRequested()) Suspend();
    signals.stopSeen = StopRequested();
  }
};

TEST(Thread, TerminateEndsSleepAndIsSeenByRun) {
  LongWaiter::Signals s;
  auto ran = s.ran.get_future();
  auto deleted = s.deleted.get_future();
  auto* t = new LongWaiter(true, s);
  t->Resume();
  ran.wait();
  t->Terminate();
  ASSERT_EQ(deleted.wait_for(5s), std::future_status::ready);
  EXPECT_TRUE(s.stopSeen);
}

// Suspends itself after each unit of work until resumed.
class SelfSuspender : public ProbeThread {
 public:
  using ProbeThread::ProbeThread;
  std::promise<void> suspending;
  void Run() override {
    suspending.set_value();
    Suspend();
    signals.runs++;
    signals.ran.set_value();
  }
};

TEST(Thread, ThreadSuspendingItselfWaitsForResume) {
  SelfSuspender::Signals s;
  auto ran = s.ran.get_future();
  auto deleted = s.deleted.get_future();
  auto* t = new SelfSuspender(true, s);
  auto suspending = t->suspending.get_future();
  t->Resume();
  suspending.wait();
  while (t->SuspendCount() == 0) std::this_thread::yield();
  EXPECT_EQ(ran.wait_for(10ms), std::future_status::timeout);
  t->Resume();
  ran.wait();
  deleted.wait();
  EXPECT_EQ(s.runs, 1);
}

}  // namespace
