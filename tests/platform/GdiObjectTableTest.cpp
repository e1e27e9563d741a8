// The table of live drawing objects: every object found by its id while alive and never after, through
// growth and removals in any order, also when ids crowd into the same slots.
#include "platform/GdiObjectTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <unordered_map>
#include <vector>

namespace plat {
namespace {

GdiObject* Fake(uintptr_t id) { return reinterpret_cast<GdiObject*>(id * 16); }

void ExpectSame(const GdiObjectTable& table, const std::unordered_map<uintptr_t, GdiObject*>& model,
                uintptr_t highest) {
  ASSERT_EQ(table.Count(), model.size());
  for (uintptr_t id = 1; id <= highest; ++id) {
    auto it = model.find(id);
    ASSERT_EQ(table.Find(id), it == model.end() ? nullptr : it->second) << id;
  }
}

TEST(GdiObjectTable, ObjectsComeAndGoInAnyOrder) {
  std::mt19937 random(17);
  GdiObjectTable table;
  std::unordered_map<uintptr_t, GdiObject*> model;
  std::vector<uintptr_t> alive;
  uintptr_t next = 1;
  for (int step = 0; step < 20000; ++step) {
    // Runs of making and freeing, so the table both grows and empties.
    const bool make = (step / 500) % 3 != 2 ? random() % 3 != 0 : random() % 4 == 0;
    if (make || alive.empty()) {
      table.Insert(next, Fake(next));
      model.emplace(next, Fake(next));
      alive.push_back(next++);
    } else {
      const size_t pick = random() % alive.size();
      table.Erase(alive[pick]);
      model.erase(alive[pick]);
      alive[pick] = alive.back();
      alive.pop_back();
    }
    if (step % 1000 == 999) ExpectSame(table, model, next);
  }
  table.Erase(next + 5);  // never made: nothing happens
  ExpectSame(table, model, next + 10);
}

TEST(GdiObjectTable, IdsSharingASlotStayReachableAcrossRemovals) {
  // Ids a multiple of 4096 apart start their probes at the same slot (and wrap past the end).
  GdiObjectTable table;
  std::unordered_map<uintptr_t, GdiObject*> model;
  std::vector<uintptr_t> ids;
  for (uintptr_t k = 0; k < 40; ++k)
    for (uintptr_t base : {uintptr_t(7), uintptr_t(255), uintptr_t(4095)}) ids.push_back(base + 4096 * k);
  for (uintptr_t id : ids) {
    table.Insert(id, Fake(id));
    model.emplace(id, Fake(id));
  }
  std::shuffle(ids.begin(), ids.end(), std::mt19937(3));
  for (size_t i = 0; i < ids.size(); ++i) {
    table.Erase(ids[i]);
    model.erase(ids[i]);
    for (size_t j = i + 1; j < ids.size(); ++j) ASSERT_EQ(table.Find(ids[j]), Fake(ids[j])) << i << " " << j;
    ASSERT_EQ(table.Find(ids[i]), nullptr);
  }
  EXPECT_EQ(table.Count(), 0u);
  EXPECT_EQ(table.Find(0), nullptr);
}

}  // namespace
}  // namespace plat
