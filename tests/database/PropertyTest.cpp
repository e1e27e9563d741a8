// The property interface's defaults, the notified set bracket, and the object list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/iProperty.h"
#include "database/ppPropertyObjectList.h"

namespace {

// Records every call the defaults make, with one property "size".
class Recorder : public iProperty {
 public:
  int32_t IndexOf(const Vcon::String& name) override { return name == "size" ? 0 : iProperty::IndexOf(name); }
  ppParameter GetValue(int32_t index) override {
    return index == 0 ? ppParameter(size) : iProperty::GetValue(index);
  }
  void SetValue(int32_t index, const ppParameter& value) override {
    calls += "set" + std::to_string(index) + " ";
    if (index == 0) size = value.ToLong();
  }
  void Select(int32_t index, int32_t comparison, const ppParameter& a, const ppParameter& b,
              char combine) override {
    calls += "select" + std::to_string(index) + "/" + std::to_string(comparison) + "/" +
             std::to_string(a.ToDouble() == b.ToDouble() && a.ToDouble() < -8e9) + combine + " ";
  }
  void InsertItem(int32_t n) override { calls += "insert" + std::to_string(n) + " "; }
  void DeleteItem() override { calls += "delete "; }
  void BeginChange() override { calls += "begin "; }
  void EndChange() override { calls += "end "; }

  std::string calls;
  int32_t size = 7;
};

TEST(PropertyTest, DefaultsAnswerThisAndNothingElse) {
  iProperty plain;
  EXPECT_EQ(plain.IndexOf("this"), iProperty::kThis);
  EXPECT_EQ(plain.IndexOf("This"), -1);
  EXPECT_EQ(plain.IndexOf(""), -1);
  const ppParameter self = plain.GetValueByName("this");
  EXPECT_EQ(self.Type(), ppParameter::kLink);
  EXPECT_EQ(self.GetLink(), &plain);
  EXPECT_EQ(plain.GetValueByName("width").Type(), ppParameter::kNone);
  EXPECT_EQ(plain.GetPropertyCount(), 0);
  EXPECT_EQ(plain.NameAt(0), "");
  EXPECT_EQ(plain.CountItems(), 0);
  EXPECT_EQ(plain.GetCurrentItem(), 0);
  plain.SetValueByName("width", ppParameter(3), true);  // nothing to set, nothing breaks
}

TEST(PropertyTest, NotifiedChangesAreBracketed) {
  Recorder r;
  r.SetValueByName("size", ppParameter(9), true);
  r.SetValueAt(0, ppParameter(10), false);
  r.SetValueByName("missing", ppParameter(1), false);
  EXPECT_EQ(r.calls, "begin set0 end set0 set-1 ");
  EXPECT_EQ(r.GetValueByName("size").ToLong(), 10);

  r.calls.clear();
  r.InsertItemNotified(true);
  r.InsertItemsNotified(4, false);
  r.DeleteItemNotified(true);
  r.DeleteItemNotified(false);
  EXPECT_EQ(r.calls, "begin insert1 end insert4 begin delete end delete ");

  // Selecting every item is a '#' find below every value.
  r.calls.clear();
  r.SelectAllItems();
  EXPECT_EQ(r.calls, "select0/2/1# ");
}

TEST(PropertyTest, ObjectListReadsTheCurrentObject) {
  Recorder a, b;
  b.size = 20;
  ppPropertyObjectList list;
  EXPECT_EQ(list.GetCurrentItem(), -1);
  EXPECT_EQ(list.GetValue(0).Type(), ppParameter::kNone);  // no current object
  EXPECT_EQ(list.IndexOf("size"), -1);
  list.SetValue(0, ppParameter(1));  // nothing to set
  list.Append(&a);
  list.Append(&b);
  EXPECT_EQ(list.GetValue(0).Type(), ppParameter::kNone);
  list.GoTo(1);
  EXPECT_EQ(list.GetValue(0).ToLong(), 20);
  list.GoTo(5);
  EXPECT_EQ(list.GetCurrentItem(), 1);
  list.GoTo(0);
  EXPECT_EQ(list.GetValue(0).ToLong(), 7);
  EXPECT_EQ(list.GetItemCount(), 2);
  EXPECT_EQ(list.GetValue(iProperty::kThis).GetLink(), &list);
  // Names are the first object's; a write reaches the current one, without the change bracket.
  EXPECT_EQ(list.IndexOf("size"), 0);
  list.GoTo(1);
  list.SetValue(0, ppParameter(30));
  EXPECT_EQ(b.size, 30);
  EXPECT_EQ(b.calls, "set0 ");
  EXPECT_EQ(a.size, 7);
}

}  // namespace
