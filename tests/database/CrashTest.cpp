// Crash safety: a child process commits numbered transactions and is killed just before the Nth
// disk-changing call of the file layer, for every N the workload reaches. After each kill a reopen
// must hold exactly the committed transactions (plus, at most, the one whose commit was under way)
// and a consistent store and indexes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <set>
#include <string>
#include <vector>

#include "database/HandleList.h"
#include "database/dbDatabase.h"
#include "database/dbErrors.h"
#include "database/dbNumIndex.h"
#include "DbTestSupport.h"
#include "StoreConsistency.h"
#include "foundation/FileFaultHook.h"

using dbtest::ErrorOf;
using dbtest::HandleOf;
using dbtest::TextOf;

namespace {

constexpr int32_t kTransactions = 12;
constexpr int kExitKilled = 3;

std::string Payload(int32_t i) {
  return std::string(size_t(40 + (i * 397) % 2600), char('a' + i % 26)) + std::to_string(i);
}

std::string NameOf(int32_t i) { return "T" + std::to_string(i); }

// Transaction i adds T<i> and indexes it by i, counts itself in "counter" (a record whose length
// changes every time), and every third one deletes T<i-2> again.
std::set<int32_t> LiveAfter(int32_t n) {
  std::set<int32_t> live;
  for (int32_t i = 1; i <= n; ++i) {
    live.insert(i);
    if (i % 3 == 0) live.erase(i - 2);
  }
  return live;
}

int32_t ReadNumber(dbDatabase& db, const char* name) {
  const int32_t n = db.RecordNumberOfName(name);
  std::string text = TextOf(db.ReadRecord(n));
  db.ReleaseRecord(n);
  return std::stoi(text.substr(text.find_first_not_of('#')));
}

void WriteNumber(dbDatabase& db, const char* name, int32_t value) {
  const int32_t n = db.RecordNumberOfName(name);
  const std::string text = std::string(size_t(value % 7 + 1), '#') + std::to_string(value);
  Handle h = db.ReadRecord(n);
  MemSetSize(h, uint32_t(text.size()));
  std::memcpy(*h, text.data(), text.size());
  db.MarkRecordChanged(n);
  db.ReleaseRecord(n);
}

void RunTransaction(dbDatabase& db, dbNumIndex& numbers, int32_t i) {
  db.BeginTransaction();
  const int32_t n = db.AddNamedRecord(NameOf(i).c_str(), HandleOf(Payload(i)));
  db.ReleaseRecord(n);
  numbers.Insert(n, n, &i);
  WriteNumber(db, "counter", i);
  if (i % 3 == 0) {
    const int32_t gone = i - 2;
    const std::string name = NameOf(gone);
    const int32_t g = db.RecordNumberOfName(name.c_str());
    db.Directory().Remove(g, g, name.c_str());
    numbers.Remove(g, g, &gone);
    db.DeleteRecord(g);
  }
  db.EndTransaction();
}

// The child's counter of disk-changing calls.
int64_t gCalls = 0;
int64_t gKillAt = 0;

void KillAtCall(Vcon::FileOp, const char*) {
  if (++gCalls == gKillAt) _exit(kExitKilled);
}

class CrashTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ppFileSpec fileSpec = dbtest::SpecFor(path_);
    dbDatabase db(fileSpec);
    db.BeginTransaction();
    int32_t header = 0;
    dbNumIndex numbers(&header, dbIndex::kNumericKeys, db.Store());
    db.ReleaseRecord(db.AddNamedRecord("numbers", HandleOf(std::to_string(header))));
    db.ReleaseRecord(db.AddNamedRecord("counter", HandleOf("#0")));
    db.EndTransaction();
  }

  // Runs the workload in a child killed before disk call `killAt`; returns the transactions the
  // child saw committed (0 when none) and sets `calls` when it ran to the end.
  int32_t RunChild(int64_t killAt, int64_t* calls = nullptr) {
    int fds[2];
    if (pipe(fds) != 0) ADD_FAILURE() << "pipe";
    const pid_t pid = fork();
    if (pid == 0) {
      close(fds[0]);
      gCalls = 0;
      gKillAt = killAt;
      Vcon::SetFileFaultHook(&KillAtCall);
      try {
        ppFileSpec fileSpec = dbtest::SpecFor(path_);
        dbDatabase db(fileSpec);
        dbNumIndex numbers(ReadNumber(db, "numbers"), db.Store());
        for (int32_t i = ReadNumber(db, "counter") + 1; i <= kTransactions; ++i) {
          RunTransaction(db, numbers, i);
          if (write(fds[1], &i, sizeof i) != sizeof i) _exit(4);
        }
        const int32_t total = int32_t(-gCalls);
        if (write(fds[1], &total, sizeof total) != sizeof total) _exit(4);
      } catch (...) {
        _exit(2);
      }
      _exit(0);
    }
    close(fds[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == kExitKilled))
        << "child ended with status " << status << " at call " << killAt;
    int32_t committed = 0, word = 0;
    while (read(fds[0], &word, sizeof word) == sizeof word) {
      if (word > 0) committed = word;
      if (word < 0 && calls != nullptr) *calls = -word;
    }
    close(fds[0]);
    return committed;
  }

  // Reopens the file and checks it holds exactly n transactions for one n in [low, high].
  void ExpectCommitted(int32_t low, int32_t high, int64_t killAt) {
    SCOPED_TRACE("killed at call " + std::to_string(killAt));
    ppFileSpec fileSpec = dbtest::SpecFor(path_);
    dbDatabase db(fileSpec);
    const int32_t n = ReadNumber(db, "counter");
    ASSERT_GE(n, low);
    ASSERT_LE(n, high);
    const std::set<int32_t> live = LiveAfter(n);
    dbNumIndex numbers(ReadNumber(db, "numbers"), db.Store());
    EXPECT_EQ(db.FileCount(), int32_t(live.size()) + 2);
    EXPECT_EQ(numbers.Count(), int32_t(live.size()));
    std::vector<int32_t> inKeyOrder;  // record numbers of the live transactions, by i
    for (int32_t i = 1; i <= kTransactions; ++i) {
      const std::string name = NameOf(i);
      int32_t indexed = 0;
      const int32_t found = numbers.Find(&i, &indexed);
      if (!live.count(i)) {
        EXPECT_EQ(ErrorOf([&] { db.RecordNumberOfName(name.c_str()); }), db::kNotFound) << name;
        EXPECT_EQ(found, db::kNotFound) << name;
        continue;
      }
      const int32_t r = db.RecordNumberOfName(name.c_str());
      EXPECT_EQ(TextOf(db.ReadRecord(r)), Payload(i)) << name;
      db.ReleaseRecord(r);
      EXPECT_EQ(indexed, r) << name;
      inKeyOrder.push_back(r);
    }
    Handle all = numbers.AllValues();
    std::vector<int32_t> indexed;
    for (uint32_t k = 0; k < HandleList::Count(all); ++k) indexed.push_back(HandleList::At(all, k));
    HandleList::Dispose(all);
    EXPECT_EQ(indexed, inKeyOrder);
    EXPECT_EQ(dbtest::CheckStoreConsistency(db.Store()), "");
  }

  dbtest::TempFolder folder_;
  std::string path_ = folder_.Path("crash.db");
};

TEST_F(CrashTest, EveryKillPointKeepsExactlyTheCommittedTransactions) {
  const auto base = dbtest::FileBytes(path_);
  int64_t calls = 0;
  ASSERT_EQ(RunChild(LLONG_MAX, &calls), kTransactions);
  ExpectCommitted(kTransactions, kTransactions, 0);
  ASSERT_GE(calls, 200);
  for (int64_t killAt = 1; killAt <= calls; ++killAt) {
    dbtest::WriteFileBytes(path_, base);
    int32_t committed = RunChild(killAt);
    // Now and then the repair itself is interrupted before the file is checked.
    if (killAt % 5 == 0) committed = std::max(committed, RunChild(1 + killAt / 5 % 4));
    const int32_t error = ErrorOf([&] { ExpectCommitted(committed, committed + 1, killAt); });
    EXPECT_EQ(error, 0) << "reopening after the kill at call " << killAt << " failed";
    if (HasFailure()) break;
  }
}

}  // namespace
