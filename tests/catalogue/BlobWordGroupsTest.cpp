// Blob entries and word groups: every whole entry and every group of a list is read, however many
// there are, and a top view's links in groups after the first hold their records like the first.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "CatalogueTestSupport.h"
#include "catalogue/records/BlobWords.h"
#include "catalogue/records/zelvproTopViewFil.h"

namespace {

using Words = std::vector<int32_t>;
using Spans = std::vector<std::pair<size_t, size_t>>;

Spans SpansOf(const std::vector<BlobWords::Group>& groups) {
  Spans spans;
  for (const BlobWords::Group& g : groups) spans.emplace_back(g.begin, g.end);
  return spans;
}

TEST(BlobWordGroups, EveryGroupIsReadUpToTheListsEnd) {
  const struct {
    Words words;
    size_t fixed;
    Spans groups;
  } cases[] = {
      {{}, 1, {}},
      {{0, 5, 0}, 1, {}},                                       // a 0 where a group starts ends the list
      {{5, 0}, 1, {{0, 1}}},                                    //
      {{5, 6, 0, 7, 0, 8, 9, 0}, 1, {{0, 2}, {3, 4}, {5, 7}}},  // three groups
      {{5, 6, 0, 7, 8, 9}, 1, {{0, 2}, {3, 6}}},                // the last without its closing 0
      {{5, 6, 0, 7, 0, 0, 8, 0}, 1, {{0, 2}, {3, 4}}},          // an empty group ends the list
      {{5, 0, 0, 6, 7, 0, 8, 0, 9, 0}, 2, {{0, 2}, {3, 5}, {6, 9}}},  // fixed words may be 0
      {{5, 0, 0, 6, 0}, 3, {{0, 4}}},                                 // fixed words, then on to the 0
      {{5, 0}, 3, {{0, 2}}},                                          // fixed words cut at the end
  };
  for (const auto& c : cases) {
    std::string text;
    for (int32_t w : c.words) text += std::to_string(w) + " ";
    EXPECT_EQ(SpansOf(BlobWords::Groups(c.words, c.fixed)), c.groups) << text << "fixed " << c.fixed;
  }
}

TEST(BlobWordGroups, EveryWholeEntryGivesItsWord) {
  const Words blob = {11, 12, 13, 21, 22, 23, 31, 32, 33, 41};  // three 12-byte entries and a part
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, uint32_t(blob.size() * 4));
  std::memcpy(*h, blob.data(), blob.size() * 4);
  const struct {
    uint32_t entrySize, word;
    Words found;
  } cases[] = {
      {12, 0, {11, 21, 31}},
      {12, 1, {12, 22, 32}},
      {12, 2, {13, 23, 33}},
      {12, 3, {}},                   // past the entry
      {8, 1, {12, 21, 23, 32, 41}},  // five whole 8-byte entries
      {40, 9, {41}},
      {44, 0, {}},  // no whole entry
  };
  for (const auto& c : cases)
    EXPECT_EQ(BlobWords::EntryWords(h, c.entrySize, c.word), c.found) << c.entrySize << "/" << c.word;
  EXPECT_EQ(BlobWords::FirstWords(h, 20), (Words{11, 23}));
  EXPECT_TRUE(BlobWords::FirstWords(nullptr, 4).empty());
  MemDispose(h);
}

class TopViewGroupsTest : public cattest::CatalogueTest {};

TEST_F(TopViewGroupsTest, LinksInEveryGroupOfOptionsAvailableAndExcludesHoldTheirRecords) {
  auto db = Open();
  zelvproTopViewFil& topViews = db->TopViewFile();
  cattest::AddRecord(topViews, {});
  cattest::SetWords(topViews, "options", {41, 42, 0, 43, 0, 44, 45});
  // An "available" group: class id, one further word (0 in the second group), unit ids.
  cattest::SetWords(topViews, "available", {101, 51, 52, 0, 102, 0, 53, 0, 103, 54, 0});
  cattest::SetWords(topViews, "excludes", {61, 62, 0, 63, 64, 0, 65, 0});
  topViews.WriteRecord(0, nullptr);
  constexpr int32_t kUnits = 5413, kClasses = 5429;
  const struct {
    int32_t fileId, id;
    bool allowed;
  } cases[] = {
      {kUnits, 41, false},    {kUnits, 42, false},    {kUnits, 43, false},    {kUnits, 44, false},
      {kUnits, 45, false},  // options: every group, the last without its 0
      {kUnits, 51, true},     {kUnits, 52, false},    {kUnits, 53, false},    {kUnits, 54, true},
      {kUnits, 61, false},    {kUnits, 62, true},     {kUnits, 63, false},    {kUnits, 64, true},
      {kUnits, 65, false},  // excludes: the first word of every group
      {kClasses, 101, false}, {kClasses, 102, false}, {kClasses, 103, false}, {kClasses, 53, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(topViews.AllowsDeleteOf(c.fileId, c.id), c.allowed) << c.fileId << "/" << c.id;
}

}  // namespace
