#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ResourceRegistry.h"

namespace {

std::vector<uint8_t> BytesOf(std::optional<plat::ResourceRegistry::Bytes> bytes) {
  EXPECT_TRUE(bytes.has_value());
  if (!bytes) return {};
  return {bytes->begin(), bytes->end()};
}

TEST(ResourceRegistry, CompiledStringArrayKeepsItsExactBytes) {
  auto& registry = plat::ResourceRegistry::Instance();
  std::vector<uint8_t> expected{'a', 0, 0, 'c', 0};
  EXPECT_EQ(BytesOf(registry.Find("STRINGARRAY", 60001)), expected);
  // Types compare without regard to letter case, as the platform's look-up does.
  EXPECT_EQ(BytesOf(registry.Find("StringArray", 60001)), expected);
}

TEST(ResourceRegistry, NarrowTextsAreStoredInWindows1252) {
  auto bytes = BytesOf(plat::ResourceRegistry::Instance().Find("txet", 60002));
  std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(text, std::string("V\xE6gt p\xE5 \xE5") + "ben l\xE5ge" + std::string(1, '\0'));
}

TEST(ResourceRegistry, BinaryFieldsAreLittleEndianAndFilled) {
  std::vector<uint8_t> expected{4, 3, 2, 1, 0xFE, 0xFF, 'a', 'b', 0, '.', '.', '.', '.', '.'};
  EXPECT_EQ(BytesOf(plat::ResourceRegistry::Instance().Find("TESTBLOB", 60003)), expected);
}

TEST(ResourceRegistry, NamedAndEmptyResources) {
  auto& registry = plat::ResourceRegistry::Instance();
  auto named = registry.Find("TestBlob", "named");
  ASSERT_TRUE(named.has_value());
  EXPECT_EQ(named->size(), 0u);
  EXPECT_FALSE(registry.Find("TestBlob", "other").has_value());
  EXPECT_FALSE(registry.Find("STRINGARRAY", 60099).has_value());
  EXPECT_FALSE(registry.Find("TXET", 60001).has_value());
}

TEST(ResourceRegistry, NoResourceIsDefinedTwice) {
  EXPECT_TRUE(plat::ResourceRegistry::Instance().Duplicates().empty());
}

TEST(ResourceRegistry, FirstRegistrationWinsAndDuplicatesAreReported) {
  plat::ResourceRegistry registry;
  static const uint8_t first[] = {1}, second[] = {2};
  registry.Add("X", 7, {first, 1});
  registry.Add("x", 7, {second, 1});
  registry.Add(plat::ResourceTypeName(plat::ResourceKind::Menu), "Main", {second, 1});
  EXPECT_EQ(BytesOf(registry.Find("X", 7)), std::vector<uint8_t>{1});
  EXPECT_EQ(registry.Duplicates().size(), 1u);
  EXPECT_EQ(BytesOf(registry.Find(plat::ResourceKind::Menu, "MAIN")), std::vector<uint8_t>{2});
}

}  // namespace
