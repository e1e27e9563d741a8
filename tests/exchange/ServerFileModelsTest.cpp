// The file grid's row and header sources over server file lists, read the way a grid reads them:
// the item count, row r made current, the property of each column's id.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "exchange/ParseServerFileList.h"
#include "exchange/Save2ServerFiles.h"
#include "exchange/Save2ServerHeaders.h"
#include "ServerDialogTestSupport.h"
#include "foundation/TextsById.h"

namespace {

ServerFileList List(std::vector<ServerFileEntry> entries) {
  ServerFileList list;
  for (ServerFileEntry& e : entries) list.push_back(std::move(e));
  return list;
}

// Every cell as the grid reads it: "name|date;" per row.
std::u16string Cells(iProperty& rows) {
  std::u16string cells;
  for (int32_t r = 0; r < rows.CountItems(); ++r) {
    rows.GoTo(r);
    cells +=
        rows.GetValueByName("FileName").AsWString() + u"|" + rows.GetValueByName("Date").AsWString() + u";";
  }
  return cells;
}

TEST(ServerFileModels, RowsReadNameAndDateOfEachEntryAsWideText) {
  const ServerFileList list = List({{u"Køkken 1.qxf", u"2026-12-01"}, {u"bath", u"yesterday"}});
  Save2ServerFiles rows(&list);
  EXPECT_EQ(rows.GetPropertyCount(), 2);
  EXPECT_EQ(rows.CountItems(), 2);
  EXPECT_EQ(Cells(rows), u"Køkken 1.qxf|2026-12-01;bath|yesterday;");
  rows.GoTo(1);
  EXPECT_EQ(rows.GetCurrentItem(), 1);
  EXPECT_EQ(rows.GetValueAt(0).Type(), ppParameter::kWideText);
  EXPECT_EQ(std::u16string(rows.GetValueAt(0).AsWString()), u"bath");
}

TEST(ServerFileModels, AnyColumnButFileNameReadsTheDate) {
  const ServerFileList list = List({{u"a", u"d1"}});
  Save2ServerFiles rows(&list);
  Save2ServerHeaders headers;
  for (iProperty* source : {static_cast<iProperty*>(&rows), static_cast<iProperty*>(&headers)}) {
    EXPECT_EQ(source->IndexOf("FileName"), 0);
    for (const char* other : {"Date", "date", "Size", "", "filename"})
      EXPECT_EQ(source->IndexOf(other), 1) << other;
  }
  EXPECT_EQ(std::u16string(rows.GetValueByName("Size").AsWString()), u"d1");
  EXPECT_EQ(std::u16string(rows.GetValueAt(7).AsWString()), u"d1");
}

TEST(ServerFileModels, AnEmptyListAnItemOutsideItAndNoListReadTheEmptyText) {
  const ServerFileList empty;
  const ServerFileList two = List({{u"a", u"1"}, {u"b", u"2"}});
  const struct {
    const char* what;
    const ServerFileList* list;
    int32_t item;
    int32_t count;
  } cases[] = {{"empty list", &empty, 0, 0},      {"empty list, item 3", &empty, 3, 0},
               {"before the list", &two, -1, 2},  {"just past it", &two, 2, 2},
               {"far past it", &two, INT_MAX, 2}, {"far before it", &two, INT_MIN, 2},
               {"no list at all", nullptr, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Save2ServerFiles rows(c.list);
    EXPECT_EQ(rows.CountItems(), c.count);
    rows.GoTo(c.item);
    EXPECT_EQ(rows.GetCurrentItem(), c.item);
    for (int32_t index : {0, 1, -1, 99}) {
      const ppParameter value = rows.GetValueAt(index);
      EXPECT_TRUE(value.Type() == ppParameter::kString || value.Type() == ppParameter::kWideText);
      EXPECT_EQ(std::u16string(value.AsWString()), u"") << index;
    }
  }
}

TEST(ServerFileModels, TheRowsFollowAParsedServerReply) {
  const auto list = ParseServerFileList(
      "<files><file name=\"a%22b.qxf\" date=\"2026-12-07 10:00\"/><file name=\"\" date=\"x\"/>"
      "<file name=\"c\" date=\"\"/></files>");
  Save2ServerFiles rows(list.get());
  EXPECT_EQ(Cells(rows), u"a\"b.qxf|2026-12-07 10:00;c|;")
      << "names decoded, dates as sent, empty names left out";
}

TEST(ServerFileModels, HeadersAreTheColumnTitlesInTheCurrentLanguage) {
  Save2ServerHeaders headers;
  EXPECT_EQ(headers.GetPropertyCount(), 2);
  EXPECT_EQ(headers.CountItems(), 0);
  EXPECT_EQ(std::u16string(headers.GetValueByName("FileName").AsWString()), u"File name");
  EXPECT_EQ(std::u16string(headers.GetValueByName("Date").AsWString()), u"Date");
  EXPECT_EQ(headers.GetValueAt(0).Type(), ppParameter::kWideText);
  extest::Texts texts;
  texts.texts = {{7452, u"Filnavn"}, {7453, u"Dato"}};
  SetTextSource(&texts);
  EXPECT_EQ(std::u16string(headers.GetValueAt(0).AsWString()), u"Filnavn");
  EXPECT_EQ(std::u16string(headers.GetValueAt(1).AsWString()), u"Dato");
  EXPECT_EQ(std::u16string(headers.GetValueAt(-1).AsWString()), u"Dato");
  SetTextSource(nullptr);
}

}  // namespace
