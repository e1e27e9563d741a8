// Popup selector queries: each column reads its path on each item of the list source, with
// fallbacks without a path or an item; the query owns its list source and its choices are undoable.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/iProperty.h"
#include "framework/iUndoer.h"
#include "framework/ppPropertySelectorQuery.h"
#include "framework/ppUndoer.h"

namespace {

struct Colour {
  int32_t id;
  const char* number;
  const char* name;
  const char* preview;
};

// Colours with a current item and the properties "dbId", "tnumber", "tname" and "preview".
class ColourList : public iProperty {
 public:
  ColourList(std::vector<Colour> items, bool* deleted) : items_(std::move(items)), deleted_(deleted) {}
  ~ColourList() override { *deleted_ = true; }
  int32_t IndexOf(const Vcon::String& name) override {
    const Vcon::String names[] = {"dbId", "tnumber", "tname", "preview"};
    for (int32_t i = 0; i < 4; ++i) {
      if (name == names[i]) return i;
    }
    return -1;
  }
  ppParameter GetValue(int32_t index) override {
    const Colour& c = items_.at(size_t(current_));
    if (index == 0) return ppParameter(c.id);
    if (index == 1) return ppParameter(c.number);
    if (index == 2) return ppParameter(c.name);
    return index == 3 ? ppParameter(c.preview) : ppParameter();
  }
  void GoToItem(int32_t i) override {
    if (i >= 0 && size_t(i) < items_.size()) current_ = i;
  }
  int32_t GetItemCount() override { return int32_t(items_.size()); }

 private:
  std::vector<Colour> items_;
  bool* deleted_;
  int32_t current_ = 0;
};

// The edited wall: the property "Texture" holding a colour id, and an undo history.
class Wall : public iProperty, public iUndoer {
 public:
  int32_t IndexOf(const Vcon::String& name) override { return name == "Texture" ? 0 : -1; }
  void GetPropertyName(Vcon::String& out, int32_t i) override { out = i == 0 ? "Texture" : ""; }
  ppParameter GetValue(int32_t i) override { return i == 0 ? texture : ppParameter(); }
  void SetValue(int32_t i, const ppParameter& value) override {
    if (i == 0) texture = value;
  }
  ppUndoer* GetUndoer() override { return withHistory ? &history : nullptr; }

  ppParameter texture{1};
  bool withHistory = true;
  ppUndoer history;
};

std::string Text(const ppParameter& value) { return value.AsString().c_str(); }

class SelectorQueryTest : public ::testing::Test {
 protected:
  ppPropertySelectorQuery* Make(const char* p1, const char* p2, const char* p3, const char* p4) {
    auto* list = new ColourList({{101, "A-1", "White", "white.png"}, {102, "A-2", "Oak", ""}}, &deleted_);
    query_.reset(new ppPropertySelectorQuery(&wall_, "Texture", list, p1, p2, p3, p4));
    return query_.get();
  }
  // Columns 1 to 4 of `item`, as texts separated by '|'.
  std::string Row(int32_t item) {
    ppParameter c[4];
    query_->GetColumn1(item, c[0]);
    query_->GetColumn2(item, c[1]);
    query_->GetColumn3(item, c[2]);
    query_->GetColumn4(item, c[3]);
    return Text(c[0]) + "|" + Text(c[1]) + "|" + Text(c[2]) + "|" + Text(c[3]);
  }

  bool deleted_ = false;
  Wall wall_;
  std::unique_ptr<ppPropertySelectorQuery> query_;
};

TEST_F(SelectorQueryTest, ColumnsReadTheirPathsOnEachItem) {
  ppPropertySelectorQuery* query = Make("dbId", "tnumber", "tname", "preview");
  EXPECT_EQ(query->GetItemCount(), 2);
  // Column 2 reads the third path, column 3 the fourth, column 4 the second.
  EXPECT_EQ(Row(0), "101|White|white.png|A-1");
  EXPECT_EQ(Row(1), "102|Oak||A-2");
  EXPECT_EQ(query->GetTreeRoot(), nullptr);
  EXPECT_EQ(query->GetName(), "Texture");
}

TEST_F(SelectorQueryTest, MissingPathsAndItemsShowTheItemNumberOrTheEmptyText) {
  ppPropertySelectorQuery* query = Make("", "", "tname", "");
  EXPECT_EQ(query->LocatorOfPath(1), nullptr);
  EXPECT_EQ(Row(1), "1|Oak||");
  ppParameter column;
  query->GetColumn4(1, column);
  EXPECT_EQ(column.Type(), ppParameter::kString);
  query->GetColumn1(1, column);
  EXPECT_EQ(column.Type(), ppParameter::kLong);

  // Items that the list does not hold never show another item's values.
  Make("dbId", "tnumber", "tname", "");
  EXPECT_EQ(Row(-1), "-1|||");
  EXPECT_EQ(Row(2), "2|||");

  // Without a list source there is nothing to list and no locator.
  ppPropertySelectorQuery bare(&wall_, "Texture", nullptr, "dbId", "tnumber", "tname", "preview");
  EXPECT_EQ(bare.GetItemCount(), 0);
  EXPECT_EQ(bare.LocatorOfPath(1), nullptr);
  bare.GetColumn1(0, column);
  EXPECT_EQ(column.ToLong(), 0);
}

TEST_F(SelectorQueryTest, ChoicesAreUndoableAndTheQueryOwnsItsList) {
  ppPropertySelectorQuery* query = Make("dbId", "", "", "");
  ppParameter choice, shown;
  query->GetColumn1(1, choice);
  query->SetValue(choice, true);
  query->GetValue(shown);
  EXPECT_EQ(shown.ToLong(), 102);
  query->GetTargetName(shown);
  EXPECT_EQ(Text(shown), "Texture");

  // A preview taken back before the next leaves one undo step.
  query->UndoLast();
  EXPECT_EQ(wall_.texture.ToLong(), 1);
  query->GetColumn1(0, choice);
  query->SetValue(choice, true);
  wall_.history.Undo();
  EXPECT_EQ(wall_.texture.ToLong(), 1);
  EXPECT_EQ(wall_.history.DoneTop(), nullptr);

  // Without a history the choice is set and there is nothing to take back.
  wall_.withHistory = false;
  query->SetValue(ppParameter(102), true);
  query->UndoLast();
  EXPECT_EQ(wall_.texture.ToLong(), 102);

  EXPECT_FALSE(deleted_);
  query_.reset();
  EXPECT_TRUE(deleted_);
}

}  // namespace
