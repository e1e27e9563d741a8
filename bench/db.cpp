// Table files against SQLite on the same work: 50,000 records of a layout with two indexed fields
// (a long and a text) added in one transaction and committed, 50,000 look-ups by key (find and
// read the record), a prefix range scan over the text index, and a reopen followed by one look-up.
//
// SQLite runs with synchronous FULL and a rollback journal, one transaction for the inserts and
// indexes on the same two columns. Both sides work on files in the same folder and see the same
// keys in the same order. The two run in alternating order over several rounds (5 unless the first
// argument says otherwise); each time printed is the median of its rounds, with the ratio ours /
// SQLite. Also prints, per commit, the fsync calls (counted by wrapping fsync and fdatasync, which
// both sides call through this program) and the bytes handed to the system's write calls, then a
// reach line for each goal (bench/Reach.h); the exit status is 1 when one is missed.
#include <dlfcn.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/Reach.h"
#include "database/HandleList.h"
#include "database/dbBytes.h"
#include "database/dbDatabase.h"
#include "database/dbDatafile.h"
#include "database/dbRecordLayout.h"
#include "foundation/Vcon_HandleManager.h"
#include "foundation/FileRecord.h"
#include "foundation/ppParameter.h"

// Calls of fsync and fdatasync since the start; main thread only.
int64_t g_syncCalls = 0;

template <typename Fn>
Fn RealFunction(const char* name) {
  return reinterpret_cast<Fn>(::dlsym(RTLD_NEXT, name));
}

extern "C" int fsync(int fd) {
  static const auto real = RealFunction<int (*)(int)>("fsync");
  ++g_syncCalls;
  return real(fd);
}

extern "C" int fdatasync(int fd) {
  static const auto real = RealFunction<int (*)(int)>("fdatasync");
  ++g_syncCalls;
  return real(fd);
}

namespace {

// Bytes this process has passed to write calls so far.
int64_t BytesWritten() {
  std::ifstream io("/proc/self/io");
  std::string key;
  int64_t value = 0;
  while (io >> key >> value)
    if (key == "wchar:") return value;
  return 0;
}

using Clock = std::chrono::steady_clock;

constexpr int32_t kRecords = 50'000;
constexpr int32_t kLookups = 50'000;
constexpr char kPrefix[] = "item01";  // 13,332 of the names start with it
enum { kId, kName, kNote };

uint64_t g_state = 0x9E3779B97F4A7C15ull;
uint64_t Random() {  // xorshift64*
  g_state ^= g_state >> 12;
  g_state ^= g_state << 25;
  g_state ^= g_state >> 27;
  return g_state * 0x2545F4914F6CDD1Dull;
}

struct Work {
  std::vector<int32_t> ids;        // the long key of record i (unique, in random order)
  std::vector<std::string> names;  // the text key of record i
  std::vector<int32_t> lookups;    // ids to look up
};

Work MakeWork() {
  Work work;
  for (int32_t i = 0; i < kRecords; ++i) work.ids.push_back(i * 7 + 1);
  for (int32_t i = kRecords - 1; i > 0; --i)
    std::swap(work.ids[size_t(i)], work.ids[Random() % uint64_t(i + 1)]);
  char name[32];
  for (int32_t i = 0; i < kRecords; ++i) {
    std::snprintf(name, sizeof name, "item%06d", work.ids[size_t(i)] % 100'000 / 7 * 3 % 100'000);
    work.names.push_back(name);
  }
  for (int32_t i = 0; i < kLookups; ++i) work.lookups.push_back(work.ids[Random() % kRecords]);
  return work;
}

double Seconds(const std::function<void()>& run) {
  const Clock::time_point start = Clock::now();
  run();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Times {
  double insert = 0, commit = 0, lookup = 0, scan = 0, reopen = 0;  // commit: part of insert
  int64_t found = 0, scanned = 0;
  int64_t syncs = 0, bytes = 0;  // during the insert transaction and its commit
};

// Runs `transaction` and records its fsync calls and written bytes into `t`.
template <typename F>
void Counted(Times& t, F&& transaction) {
  const int64_t syncs = g_syncCalls;
  const int64_t bytes = BytesWritten();
  transaction();
  t.syncs = g_syncCalls - syncs;
  t.bytes = BytesWritten() - bytes;
}

std::vector<uint8_t> BenchLayout() {
  const struct {
    const char* name;
    int32_t type, flags;
  } fields[] = {{"id", 2, 1}, {"name", 1, 1}, {"note", 1, 0}};
  std::vector<uint8_t> bytes(dbRecordLayout::kFields + 3 * dbRecordLayout::kEntrySize, '.');
  db::PutI32(bytes.data(), 0, 1);
  db::PutI32(bytes.data(), 4, 6001);
  std::memcpy(bytes.data() + 8, "qxBench", 8);
  db::PutI32(bytes.data(), 40, 0);
  db::PutI32(bytes.data(), 44, 3);
  for (uint32_t i = 0; i < 3; ++i) {
    const uint32_t at = dbRecordLayout::kFields + dbRecordLayout::kEntrySize * i;
    std::memcpy(bytes.data() + at, fields[i].name, std::strlen(fields[i].name) + 1);
    db::PutI32(bytes.data(), at + 32, fields[i].type);
    db::PutI32(bytes.data(), at + 36, fields[i].flags);
    db::PutI32(bytes.data(), at + 40, 0);
  }
  return bytes;
}

Times RunOurs(const Work& work, const std::string& path) {
  Times t;
  const std::vector<uint8_t> layout = BenchLayout();
  ppFileSpec fileSpec{Vcon::WString(path.c_str())};
  auto database = std::make_unique<dbDatabase>(fileSpec);
  auto file = std::make_unique<dbDatafile>("bench", *database, layout);
  char* buffer = file->NewRecordBuffer();
  Counted(t, [&] {
    t.insert = Seconds([&] {
      database->BeginTransaction();
      for (int32_t i = 0; i < kRecords; ++i) {
        file->Layout().SetField(kId, ppParameter(work.ids[size_t(i)]), buffer);
        file->Layout().SetField(kName, ppParameter(work.names[size_t(i)].c_str()), buffer);
        file->Layout().SetField(kNote, ppParameter("a note of some thirty characters"), buffer);
        file->AddRecord(buffer);
      }
      t.commit = Seconds([&] { database->EndTransaction(); });
    });
  });
  t.lookup = Seconds([&] {
    for (int32_t key : work.lookups) {
      const int32_t number = file->FindByKey(kId, &key);
      if (number == 0) continue;
      file->ReadRecord(number, buffer);
      ++t.found;
    }
  });
  t.scan = Seconds([&] {
    Handle list = file->Select(kName, '+', dbDatafile::kEqual, kPrefix, nullptr, nullptr);
    t.scanned = HandleList::Count(list);
    HandleList::Dispose(list);
  });
  file->DisposeRecordBuffer(buffer);
  file.reset();
  database.reset();
  t.reopen = Seconds([&] {
    database = std::make_unique<dbDatabase>(fileSpec);
    file = std::make_unique<dbDatafile>("bench", *database, layout);
    const int32_t key = work.lookups[0];
    char* one = file->NewRecordBuffer();
    file->ReadRecord(file->FindByKey(kId, &key), one);
    file->DisposeRecordBuffer(one);
  });
  return t;
}

void Exec(sqlite3* db, const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    std::fprintf(stderr, "sqlite: %s\n", error);
    sqlite3_free(error);
    std::exit(1);
  }
}

sqlite3* OpenSqlite(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  Exec(db, "PRAGMA synchronous=FULL; PRAGMA journal_mode=DELETE;");
  return db;
}

Times RunSqlite(const Work& work, const std::string& path) {
  Times t;
  sqlite3* db = OpenSqlite(path);
  Exec(db,
       "CREATE TABLE bench(id INTEGER, name TEXT, note TEXT);"
       "CREATE INDEX bench_id ON bench(id); CREATE INDEX bench_name ON bench(name);");
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO bench VALUES(?, ?, ?)", -1, &insert, nullptr);
  Counted(t, [&] {
    t.insert = Seconds([&] {
      Exec(db, "BEGIN");
      for (int32_t i = 0; i < kRecords; ++i) {
        sqlite3_bind_int(insert, 1, work.ids[size_t(i)]);
        sqlite3_bind_text(insert, 2, work.names[size_t(i)].c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 3, "a note of some thirty characters", -1, SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
      }
      t.commit = Seconds([&] { Exec(db, "COMMIT"); });
    });
  });
  sqlite3_finalize(insert);
  sqlite3_stmt* lookup = nullptr;
  sqlite3_prepare_v2(db, "SELECT id, name, note FROM bench WHERE id = ?", -1, &lookup, nullptr);
  t.lookup = Seconds([&] {
    for (int32_t key : work.lookups) {
      sqlite3_bind_int(lookup, 1, key);
      if (sqlite3_step(lookup) == SQLITE_ROW) {
        std::string note(reinterpret_cast<const char*>(sqlite3_column_text(lookup, 2)));
        t.found += !note.empty();
      }
      sqlite3_reset(lookup);
    }
  });
  sqlite3_finalize(lookup);
  sqlite3_stmt* scan = nullptr;
  sqlite3_prepare_v2(db, "SELECT rowid FROM bench WHERE name >= ? AND name < ?", -1, &scan, nullptr);
  t.scan = Seconds([&] {
    sqlite3_bind_text(scan, 1, kPrefix, -1, SQLITE_STATIC);
    sqlite3_bind_text(scan, 2, "item02", -1, SQLITE_STATIC);
    std::vector<int64_t> rows;
    while (sqlite3_step(scan) == SQLITE_ROW) rows.push_back(sqlite3_column_int64(scan, 0));
    t.scanned = int64_t(rows.size());
  });
  sqlite3_finalize(scan);
  sqlite3_close(db);
  t.reopen = Seconds([&] {
    db = OpenSqlite(path);
    sqlite3_stmt* one = nullptr;
    sqlite3_prepare_v2(db, "SELECT note FROM bench WHERE id = ?", -1, &one, nullptr);
    sqlite3_bind_int(one, 1, work.lookups[0]);
    sqlite3_step(one);
    sqlite3_finalize(one);
  });
  sqlite3_close(db);
  return t;
}

double Median(std::vector<Times>& runs, double Times::*field) {
  std::vector<double> values;
  for (const Times& t : runs) values.push_back(t.*field);
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Prints the medians and their ratio ours / SQLite; returns the ratio.
double Report(const char* what, std::vector<Times>& ours, std::vector<Times>& theirs, double Times::*field) {
  const double a = Median(ours, field), b = Median(theirs, field);
  std::printf("%-34s ours %9.4f s   sqlite %9.4f s   ratio %6.2f\n", what, a, b, a / b);
  return a / b;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  MemInit(40'000'000, 400'000);
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("planner_bench_db_" + std::to_string(::getpid()));
  const Work work = MakeWork();
  std::vector<Times> ours, theirs;
  for (int round = 0; round < rounds; ++round) {
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    if (round % 2 == 0) {
      ours.push_back(RunOurs(work, (dir / "ours.db").string()));
      theirs.push_back(RunSqlite(work, (dir / "sqlite.db").string()));
    } else {
      theirs.push_back(RunSqlite(work, (dir / "sqlite.db").string()));
      ours.push_back(RunOurs(work, (dir / "ours.db").string()));
    }
  }
  std::printf(
      "%d records, %d look-ups (found %lld / %lld), prefix \"%s\" (%lld / %lld rows), medians of %d rounds\n",
      kRecords, kLookups, (long long)ours[0].found, (long long)theirs[0].found, kPrefix,
      (long long)ours[0].scanned, (long long)theirs[0].scanned, rounds);
  const double insert = Report("insert, one transaction, commit", ours, theirs, &Times::insert);
  const double commit = Report("  of which the commit", ours, theirs, &Times::commit);
  const double lookup = Report("look-up by key and read", ours, theirs, &Times::lookup);
  const double scan = Report("prefix range scan", ours, theirs, &Times::scan);
  const double reopen = Report("reopen and one look-up", ours, theirs, &Times::reopen);
  std::printf("per commit: fsync calls ours %lld sqlite %lld, bytes written ours %lld sqlite %lld\n",
              (long long)ours[0].syncs, (long long)theirs[0].syncs, (long long)ours[0].bytes,
              (long long)theirs[0].bytes);
  bench::ReachAtMost("db insert+commit ours/sqlite", insert, 1.3);
  bench::ReachAtMost("db commit ours/sqlite", commit, 2.0);
  bench::ReachAtMost("db look-ups ours/sqlite", lookup, 0.5);
  bench::ReachAtMost("db prefix scan ours/sqlite", scan, 1.2);
  bench::ReachAtMost("db reopen ours/sqlite", reopen, 3.0);
  // The file format fixes what a commit writes (new extents, a journal of whole pages): the bytes
  // are shown for comparison and have no goal.
  std::printf("db commit bytes ours/sqlite: %.3f\n", double(ours[0].bytes) / double(theirs[0].bytes));
  std::filesystem::remove_all(dir);
  MemTerminate();
  return bench::ReachStatus();
}
