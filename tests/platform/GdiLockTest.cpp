// The drawing layer's registries under threads at once: the lock lets one thread in at a time, and
// objects made, looked up and freed on several threads are always found while they live.
#include "platform/GdiLock.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

#include "platform/Gdi.h"

namespace plat {
namespace {

TEST(GdiLock, OneThreadAtATime) {
  GdiLock lock;
  // Two separate words read and written without atomics: torn or lost updates show when two threads
  // are inside at once.
  int64_t counted = 0, mirrored = 0;
  int32_t inside = 0, crowded = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 100000; ++i) {
        std::lock_guard held(lock);
        crowded += ++inside > 1;
        counted += 1;
        mirrored = counted;
        --inside;
      }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(counted, 400000);
  EXPECT_EQ(mirrored, counted);
  EXPECT_EQ(crowded, 0);
}

TEST(GdiLock, ObjectsMadeAndFreedOnManyThreadsAreFoundWhileTheyLive) {
  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&wrong, t] {
      std::vector<HPEN> mine;
      for (int i = 0; i < 3000; ++i) {
        mine.push_back(CreatePen(PS_SOLID, t + 1, COLORREF(i)));
        // Up to twenty alive at a time, the oldest freed first.
        if (mine.size() > 20 || i % 3 == 2) {
          DeleteObject(mine.front());
          mine.erase(mine.begin());
        }
        for (HPEN pen : mine) {
          const auto* object = static_cast<const PenObject*>(GdiObject::FromHandle(pen));
          wrong[size_t(t)] += !object || object->width != t + 1;
        }
      }
      for (HPEN pen : mine) DeleteObject(pen);
    });
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(wrong[size_t(t)], 0) << t;
}

}  // namespace
}  // namespace plat
