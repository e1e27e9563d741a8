// The tools tests that open databases in-process run with the program's own handle zone, made once.
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
