// Dotted property paths walked through links, on plain objects and on table views, and the typed
// value that shows itself as a one-property object.
#include <gtest/gtest.h>

#include <string>

#include "TableViewTestSupport.h"
#include "database/ppLocator.h"
#include "database/ppPropertyParameter.h"

namespace {

// An object with freely added named properties; it logs the writes and notifications it receives.
class Bag : public iProperty {
 public:
  Bag() { values.reserve(8); }  // Add hands out references that must stay valid
  int32_t IndexOf(const Vcon::String& name) override {
    for (size_t i = 0; i < names.size(); ++i) {
      if (names[i] == name) return int32_t(i);
    }
    return kNoProperty;
  }
  ppParameter GetValue(int32_t i) override {
    return i >= 0 && size_t(i) < names.size() ? values[size_t(i)] : ppParameter();
  }
  void SetValue(int32_t i, const ppParameter& value) override {
    log += "set" + std::to_string(i) + " ";
    if (i >= 0 && size_t(i) < names.size()) values[size_t(i)] = value;
  }
  void BeginChange() override { log += "begin "; }
  void EndChange() override { log += "end "; }
  ppParameter& Add(const char* name, const ppParameter& value) {
    names.emplace_back(name);
    return values.emplace_back(value);
  }

  std::vector<Vcon::String> names;
  std::vector<ppParameter> values;
  std::string log;
};

std::string Text(const ppParameter& value) { return value.AsString().c_str(); }

TEST(LocatorTest, PathsWalkThroughLinksFollowedAnewAtEveryUse) {
  Bag wood, stone, element;
  wood.Add("name", ppParameter("oak"));
  wood.Add("texture", ppParameter("wood.png"));
  stone.Add("name", ppParameter("granite"));
  ppParameter& stoneTexture = stone.Add("texture", ppParameter("stone.png"));
  element.Add("width", ppParameter(600));
  ppParameter& texture0 = element.Add("texture0", ppParameter(&wood));

  ppLocator locator("texture0.texture", &element);
  EXPECT_EQ(locator.Root(), &element);
  EXPECT_EQ(locator.Steps(), (std::deque<int32_t>{1, 1}));  // the second index is the linked object's
  EXPECT_EQ(Text(locator.GetValue()), "wood.png");

  texture0 = ppParameter(&stone);
  EXPECT_EQ(Text(locator.GetValue()), "stone.png");
  locator.SetValue(ppParameter("marble.png"));
  EXPECT_EQ(Text(stoneTexture), "marble.png");
  EXPECT_EQ(stone.log, "begin set1 end ");

  // A link missing on the way reads empty and ignores writes.
  texture0 = ppParameter();
  EXPECT_EQ(locator.GetValue().Type(), ppParameter::kNone);
  locator.SetValue(ppParameter("lost.png"));
  EXPECT_EQ(element.log, "");
  EXPECT_EQ(Text(stoneTexture), "marble.png");

  // A segment that holds no link ends the path: the locator stands for that segment.
  texture0 = ppParameter(42);
  ppLocator shortened("texture0.texture", &element);
  EXPECT_EQ(shortened.Steps().size(), 1u);
  EXPECT_EQ(shortened.GetValue().ToLong(), 42);
  shortened.SetValue(ppParameter(43));
  EXPECT_EQ(texture0.ToLong(), 43);
}

TEST(LocatorTest, UndefinedSegmentsLeaveTheLocatorUnresolvedForGood) {
  Bag texture, element;
  texture.Add("texture", ppParameter("wood.png"));
  element.Add("texture0", ppParameter(&texture));

  ppLocator first("texture1.texture", &element);
  ppLocator middle("texture0.colour", &element);
  ppLocator doubled("texture0..texture", &element);
  ppLocator empty("", &element);
  ppLocator noRoot("texture0", nullptr);
  EXPECT_EQ(first.Root(), nullptr);
  EXPECT_EQ(middle.Root(), nullptr);
  EXPECT_EQ(doubled.Root(), nullptr);
  EXPECT_TRUE(empty.Steps().empty());

  // The objects gaining the missing properties later changes nothing.
  element.Add("texture1", ppParameter(&texture));
  texture.Add("colour", ppParameter("red"));
  for (ppLocator* locator : {&first, &middle, &doubled, &empty, &noRoot}) {
    EXPECT_EQ(locator->GetValue().Type(), ppParameter::kNone);
    locator->SetValue(ppParameter("x"));
  }
  EXPECT_EQ(element.log + texture.log, "");
}

TEST(LocatorTest, TableViewPathsFollowTheCurrentRecordIntoLinkedTables) {
  using namespace viewtest;
  dbtest::TempFolder folder;
  ViewDatabase base(folder.Path("locator.db"));
  ppDatafile towns("towns", base.Db());
  const int32_t oslo = AddTown(towns, "Oslo", 150);
  const int32_t bergen = AddTown(towns, "Bergen", 5003);
  ppDatafile people("people", base.Db());
  const int32_t anna = AddPerson(people, "Anna", 31, "", oslo);
  AddPerson(people, "Bert", 45, "", bergen);
  AddPerson(people, "Cleo", 28, "", 0);
  people.SelectAllByIndex(kName);

  ppLocator town("town.tname", &people), zip("town.zip", &people), id("dbId", &people);
  EXPECT_EQ(town.Steps().size(), 2u);
  people.GoTo(0);
  EXPECT_EQ(Text(town.GetValue()), "Oslo");
  EXPECT_EQ(id.GetValue().ToLong(), anna);
  people.GoTo(1);
  EXPECT_EQ(Text(town.GetValue()), "Bergen");
  EXPECT_EQ(zip.GetValue().ToLong(), 5003);
  people.GoTo(2);  // no town
  EXPECT_EQ(town.GetValue().Type(), ppParameter::kNone);
  EXPECT_EQ(ppLocator("town.age", &people).Root(), nullptr);
}

TEST(LocatorTest, PropertyParameterIsOneValueUnderEveryName) {
  ppPropertyParameter extra(ppParameter(u"first line"));
  EXPECT_EQ(extra.IndexOf("anything") + extra.IndexOf("this") + extra.IndexOf("value"), 0);
  EXPECT_EQ(extra.GetPropertyCount(), 1);
  EXPECT_EQ(extra.NameAt(5), "value");
  EXPECT_EQ(extra.GetValueByName("other").AsWString(), u"first line");

  // Copies carry the value only; a locator reaches it through a link.
  ppPropertyParameter copy(extra);
  copy.SetValueByName("whatever", ppParameter(12), true);
  EXPECT_EQ(copy.ToLong(), 12);
  EXPECT_EQ(extra.Type(), ppParameter::kWideText);
  Bag element;
  element.Add("extraInfo1", ppParameter(&extra));
  ppLocator("extraInfo1.value", &element).SetValue(ppParameter("through a link"));
  EXPECT_EQ(Text(extra), "through a link");
  copy = extra;
  EXPECT_EQ(Text(copy), "through a link");
}

}  // namespace
