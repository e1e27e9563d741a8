// Record values of an element follow the database's dbId rule, with or without a database number: a
// choice list's "dbId" value (what a selector hands the property) is taken, the property gives the
// same value back, and a value of another catalogue changes nothing.
#include <gtest/gtest.h>

#include "catalogue/records/zelvproDepthFil.h"
#include "elements/topview/FileSelection.h"
#include "elements/topview/TopViewTestSupport.h"

namespace {

using tvtest::TopViewTest;

class DbIdChoicesTest : public TopViewTest {
 protected:
  // A catalogue of number `number`; -1 leaves it without one.
  zelvDatabase& Catalogue(int32_t number) {
    const std::string name = "n" + std::to_string(number + 1) + ".cdb";
    if (number >= 0) cattest::ChangeSettings(*Open(name), {{"identifier", number}});
    return MakeDatabase(name);
  }
  // The value a selector over `file` hands on for record `id`.
  static ppParameter ListValue(ppDatafile& file, int32_t id) {
    FileSelection::Set(file, {id});
    file.GoToItem(0);
    return file.GetValueByName("dbId");
  }
};

TEST_F(DbIdChoicesTest, ChoiceListValuesSetAndReadBackWithAndWithoutANumber) {
  for (int32_t number : {-1, 0, 7}) {
    SCOPED_TRACE(number);
    zelvDatabase& db = Catalogue(number);
    ASSERT_EQ(db.Identifier(), number);
    const int32_t cls = AddClass(db, 1, 0);
    const int32_t a = AddUnit(db, {}), b = AddUnit(db, {});
    const int32_t depth = cattest::AddRecord(db.DepthFile(), {{"id", 3}, {"depth", 450.0}});
    auto element = MakeOwned(db, AddTopView(db, {}, {{"options", {cls, 0, a, b, 0}}}));
    ASSERT_EQ(element->options[0].chosenUnit, a);
    const std::string option = "Option" + std::to_string(cls);

    const ppParameter unitValue = ListValue(db.UnitFile(), b);
    element->SetValueByName(option.c_str(), unitValue, false);
    EXPECT_EQ(element->options[0].chosenUnit, b);
    EXPECT_EQ(element->GetValueByName(option.c_str()).ToLong(), unitValue.ToLong());
    EXPECT_EQ(element->GetOptionUnitValue(cls), unitValue.ToLong());

    const ppParameter depthValue = ListValue(db.DepthFile(), depth);
    element->SetValueByName("DepthID", depthValue, false);
    EXPECT_EQ(element->linkedRecord, depth);
    EXPECT_EQ(element->GetValueByName("DepthID").ToLong(), depthValue.ToLong());

    // A unit of another catalogue: with a number, another number; without one, nothing names one
    // but a negative value.
    const int32_t foreign = number > 0 ? unitValue.ToLong() - b * 10000 + a * 10000 + 1 : -a;
    element->SetValueByName(option.c_str(), ppParameter(foreign), false);
    EXPECT_EQ(element->options[0].chosenUnit, b);
  }
}

}  // namespace
