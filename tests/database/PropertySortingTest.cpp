// Sorting the items of a property source by a sort description, in memory and over a table view.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TableViewTestSupport.h"
#include "database/ppPropertySort.h"

namespace {

// Rows of (name, group, size) with a current row, like any list source.
class Rows : public iProperty {
 public:
  struct Row {
    std::string name;
    int32_t group;
    double size;
  };
  explicit Rows(std::vector<Row> rows) : rows_(std::move(rows)) {}

  int32_t IndexOf(const Vcon::String& name) override {
    if (name == "name") return 0;
    if (name == "group") return 1;
    if (name == "size") return 2;
    return iProperty::IndexOf(name);
  }
  ppParameter GetValue(int32_t index) override {
    const Row& row = rows_.at(size_t(current_));
    reads_++;
    switch (index) {
      case 0:
        return ppParameter(row.name.c_str());
      case 1:
        return ppParameter(row.group);
      case 2:
        return ppParameter(row.size);
      default:
        return iProperty::GetValue(index);
    }
  }
  void GoToItem(int32_t i) override { current_ = i; }
  int32_t GetItemCount() override { return int32_t(rows_.size()); }
  int32_t GetCurrentItem() override { return current_; }

  int64_t reads_ = 0;

 private:
  std::vector<Row> rows_;
  int32_t current_ = 0;
};

std::vector<int32_t> Order(ppPropertySort& sort) {
  return std::vector<int32_t>(sort.Order().begin(), sort.Order().end());
}

Rows Sample() { return Rows({{"d", 2, 1.5}, {"b", 1, 3.0}, {"a", 2, 0.5}, {"c", 1, 3.0}, {"e", 1, 10.0}}); }

using Numbers = std::vector<int32_t>;

TEST(PropertySorting, SortsAscendingDescendingAndOnSeveralKeys) {
  Rows rows = Sample();
  ppPropertySort sort(&rows);
  sort.SortBySpec("name");
  EXPECT_EQ(Order(sort), (Numbers{2, 1, 3, 0, 4}));
  sort.SortBySpec("+name");
  EXPECT_EQ(Order(sort), (Numbers{2, 1, 3, 0, 4}));
  sort.SortBySpec("-name");
  EXPECT_EQ(Order(sort), (Numbers{4, 0, 3, 1, 2}));
  // Numbers compare as numbers: 10 after 3.
  sort.SortBySpec("-size|name");
  EXPECT_EQ(Order(sort), (Numbers{4, 1, 3, 0, 2}));
  sort.SortBySpec("group|-size|-name");
  EXPECT_EQ(Order(sort), (Numbers{4, 3, 1, 0, 2}));

  // The sorted view's items are the source's items in that order.
  sort.GoTo(0);
  EXPECT_EQ(sort.GetValueByName("name").AsString(), "e");
  sort.GoTo(4);
  EXPECT_EQ(sort.GetValueByName("name").AsString(), "a");
}

TEST(PropertySorting, UnknownNamesAndEmptyDescriptionsKeepTheOrder) {
  Rows rows = Sample();
  ppPropertySort sort(&rows);
  for (const char* sortKeys : {"", "weight", "name|weight", "-", "|name", "Name"}) {
    sort.SortBySpec(sortKeys);
    EXPECT_EQ(Order(sort), (Numbers{0, 1, 2, 3, 4})) << sortKeys;
  }
  Rows none({});
  ppPropertySort empty(&none);
  empty.SortBySpec("name");
  EXPECT_TRUE(empty.Order().empty());
}

TEST(PropertySorting, ManyEqualKeysSortInFewReads) {
  std::vector<Rows::Row> data;
  for (int32_t i = 0; i < 4000; ++i) data.push_back({"same", i % 3, 1.0});
  Rows rows(data);
  ppPropertySort sort(&rows);
  sort.SortBySpec("name|group");
  const Numbers order = Order(sort);
  ASSERT_EQ(order.size(), 4000u);
  for (size_t i = 1; i < order.size(); ++i) ASSERT_LE(order[i - 1] % 3, order[i] % 3);
  Numbers all = order;
  std::sort(all.begin(), all.end());
  for (int32_t i = 0; i < 4000; ++i) ASSERT_EQ(all[size_t(i)], i);
  // Three distinct keys: a handful of partition passes, not a quadratic number of reads.
  EXPECT_LT(rows.reads_, 4000 * 2 * 20);
}

TEST(PropertySorting, SortsTheRecordsOfATableView) {
  dbtest::TempFolder folder;
  viewtest::ViewDatabase base(folder.Path("sort.db"));
  ppDatafile people("people", base.Db());
  viewtest::AddPerson(people, "Cleo", 31);
  viewtest::AddPerson(people, "Anna", 45);
  viewtest::AddPerson(people, "Bert", 31);
  people.SelectAll();  // Anna, Bert, Cleo
  ppPropertySort sort(&people);
  sort.SortBySpec("age|-name");
  EXPECT_EQ(Order(sort), (Numbers{2, 1, 0}));
  sort.SortBySpec("-dbId");
  sort.GoTo(0);
  EXPECT_EQ(viewtest::Text(sort.GetValueByName("name")), "Bert");
}

}  // namespace
