// Every catalogue test runs with the program's own handle zone, made once per test process.
#include <gtest/gtest.h>

#include "foundation/Vcon_HandleManager.h"

namespace {

class ZoneEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_EQ(MemInit(40'000'000, 400'000), 0); }
  void TearDown() override { MemTerminate(); }
};

[[maybe_unused]] ::testing::Environment* const kZoneEnvironment =
    ::testing::AddGlobalTestEnvironment(new ZoneEnvironment);

}  // namespace
