// The skin database on files the tests make: button pictures by state, a missing button, and ids
// that no two records share.
#include <gtest/gtest.h>

#include "CatalogueTestSupport.h"
#include "catalogue/databases/qxSkindb.h"
#include "catalogue/records/qxSkinObjectFil.h"

namespace {

using cattest::AddRecord;
using cattest::LongField;

// A packed 24-bit DIB `width` pixels wide and one high: the picture bytes a skin field holds.
std::vector<uint8_t> PackedDib(int32_t width) {
  std::vector<uint8_t> bytes(40 + size_t((width * 3 + 3) / 4 * 4), 0x80);
  const int32_t header[] = {40, width, 1};
  std::memcpy(bytes.data(), header, sizeof header);
  const uint16_t planesAndBits[] = {1, 24};
  std::memcpy(bytes.data() + 12, planesAndBits, sizeof planesAndBits);
  std::memset(bytes.data() + 16, 0, 24);  // no compression, sizes and colour counts computed
  return bytes;
}

void SetPicture(ppDatafile& table, const char* field, int32_t width) {
  const std::vector<uint8_t> bytes = PackedDib(width);
  Handle data = RecordField(table, field).Data(table.GetRecordBuffer());
  MemSetSize(data, uint32_t(bytes.size()));
  std::memcpy(*data, bytes.data(), bytes.size());
}

class SkinDatabaseTest : public cattest::CatalogueTest {
 protected:
  std::unique_ptr<qxSkindb> OpenSkin() {
    ppFileSpec file = dbtest::SpecFor(Path("skin.cdb"));
    return std::make_unique<qxSkindb>(file);
  }
};

TEST_F(SkinDatabaseTest, ButtonPicturesByStateAndAMissingButton) {
  {
    auto db = OpenSkin();
    qxSkinObjectFil& buttons = db->ButtonFile();
    buttons.ClearRecordBuffer(nullptr);
    cattest::SetField(buttons, "id", 10);
    cattest::SetField(buttons, "name", "rotate");
    // Each state's picture has its own width: normal 1, selected 2, ... rollover 5.
    const char* const states[] = {"normal", "selected", "clicked", "disabled", "rollover"};
    for (int32_t i = 0; i < 5; ++i) SetPicture(buttons, states[i], i + 1);
    buttons.AddRecord(nullptr, nullptr);
    EXPECT_EQ(SkinDatabase, db.get());
  }
  EXPECT_EQ(SkinDatabase, nullptr);
  auto db = OpenSkin();
  for (auto [state, width] :
       {std::pair{0, 1}, std::pair{3, 4}, std::pair{4, 5}, std::pair{7, 1}, std::pair{-1, 1}}) {
    const ppPicture& picture = db->GetButtonPicture(10, state);
    EXPECT_EQ(picture.GetWidth(), width) << state;
  }

  const ppPicture& none = db->GetButtonPicture(11, 4);
  EXPECT_TRUE(none.IsEmpty());
  qxSkinObjectFil& buttons = db->ButtonFile();
  EXPECT_EQ(LongField(buttons, "id"), 0);
  EXPECT_EQ(RecordField(buttons, "name").Text(buttons.GetRecordBuffer()), "");
  EXPECT_EQ(MemGetSize(RecordField(buttons, "rollover").Data(buttons.GetRecordBuffer())), 0u);
}

TEST_F(SkinDatabaseTest, ARecordWithAnIdInUseIsNotAdded) {
  auto db = OpenSkin();
  for (qxSkinObjectFil* table : {&db->ButtonFile(), &db->ColorFile(), &db->BitmapFile()}) {
    AddRecord(*table, {{"id", 1017}, {"name", "first"}});
    int32_t outId = -7;
    table->ClearRecordBuffer(nullptr);
    cattest::SetField(*table, "id", 1017);
    table->AddRecord(&outId, nullptr);
    EXPECT_EQ(outId, -7);
    table->SelectAll();
    EXPECT_EQ(table->GetSelectedCount(), 1);
  }
}

}  // namespace
