#include "foundation/ppThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "WaitWithDeadline.h"

namespace {

using testwait::WaitOrEnd;

// Reports through promises when it ran and when it was deleted; the test owns the promises.
class ProbeThread : public ppThread {
 public:
  struct Signals {
    std::promise<void> ran;
    std::promise<void> deleted;
    std::promise<void> mayFinish;
    std::atomic<bool> stopSeen{false};
    std::atomic<int> runs{0};
    // The test sets `resumed` just before the Resume that may let Run go on; Run notes what it saw,
    // so a Run that went ahead without that Resume is found without waiting for it.
    std::atomic<bool> resumed{false};
    std::atomic<bool> sawResumed{false};
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
    signals.sawResumed = signals.resumed.load();
    signals.runs++;
    signals.ran.set_value();
  }
};

// Starts another thread and waits until its Run has begun. A thread made earlier that ignored its
// suspension had the same start and a head start, so it would have begun Run by then as well: the
// check that follows needs no fixed wait.
void LetAnotherThreadRun() {
  RunOnce::Signals other;
  auto ran = other.ran.get_future();
  auto deleted = other.deleted.get_future();
  (new RunOnce(true, other))->Resume();
  WaitOrEnd(ran, "Run of another thread");
  WaitOrEnd(deleted, "deleting another thread");
}

TEST(Thread, SuspendedThreadRunsOnlyAfterResumeAndIsDeletedAfterwards) {
  RunOnce::Signals s;
  auto ran = s.ran.get_future();
  auto deleted = s.deleted.get_future();
  auto* t = new RunOnce(true, s);
  ASSERT_TRUE(t->IsStarted());
  EXPECT_NE(t->threadId, 0u);
  EXPECT_EQ(t->SuspendCount(), 1u);
  LetAnotherThreadRun();
  ASSERT_EQ(ran.wait_for(std::chrono::seconds(0)), std::future_status::timeout)
      << "Run went ahead before Resume";
  s.resumed = true;
  t->Resume();
  WaitOrEnd(ran, "Run of a resumed thread");
  WaitOrEnd(deleted, "deleting a thread whose Run returned");
  EXPECT_EQ(s.runs, 1);
  EXPECT_TRUE(s.sawResumed) << "Run went ahead before Resume";
}

TEST(Thread, NestedSuspendsNeedAsManyResumes) {
  RunOnce::Signals s;
  auto ran = s.ran.get_future();
  auto deleted = s.deleted.get_future();
  auto* t = new RunOnce(true, s);
  t->Suspend();  // from the creating thread: counted, does not block here
  EXPECT_EQ(t->SuspendCount(), 2u);
  t->Resume();
  EXPECT_EQ(t->SuspendCount(), 1u);
  LetAnotherThreadRun();
  ASSERT_EQ(ran.wait_for(std::chrono::seconds(0)), std::future_status::timeout)
      << "Run went ahead before Resume";
  s.resumed = true;
  t->Resume();
  WaitOrEnd(ran, "Run after the second Resume");
  WaitOrEnd(deleted, "deleting a thread whose Run returned");
  EXPECT_TRUE(s.sawResumed) << "Run went ahead after the first of two Resumes";
}

TEST(Thread, TerminatingAnUnstartedThreadSkipsRun) {
  RunOnce::Signals s;
  auto deleted = s.deleted.get_future();
  auto* t = new RunOnce(true, s);
  t->Terminate();
  WaitOrEnd(deleted, "deleting a thread stopped before it started");
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
  WaitOrEnd(ran, "Run of a resumed thread");
  t->Terminate();
  WaitOrEnd(deleted, "Terminate ending a sleep of a minute");
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
    signals.sawResumed = signals.resumed.load();
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
  WaitOrEnd(suspending, "Run of a resumed thread");
  testwait::WaitUntilOrEnd([t] { return t->SuspendCount() != 0; }, "a thread suspending itself");
  s.resumed = true;
  t->Resume();
  WaitOrEnd(ran, "Run going on after Resume");
  WaitOrEnd(deleted, "deleting a thread whose Run returned");
  EXPECT_EQ(s.runs, 1);
  EXPECT_TRUE(s.sawResumed) << "a thread that suspended itself went on without Resume";
}

}  // namespace
