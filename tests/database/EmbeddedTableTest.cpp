// Tables kept in memory and in a blob of an owner record: the blob form, positions, insertion
// after the current record, and the write-back to the owner.
#include <gtest/gtest.h>

#include <cstring>

#include "TableViewTestSupport.h"
#include "database/dbBasicmmHandler.h"
#include "database/dbErrors.h"
#include "database/ppEmbeddedData.h"

using namespace viewtest;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes BytesOf(Handle h) { return Bytes(*h, *h + MemGetSize(h)); }

void SetBytes(Handle h, const Bytes& bytes) {
  MemSetSize(h, uint32_t(bytes.size()));
  if (!bytes.empty()) std::memcpy(*h, bytes.data(), bytes.size());
}

Bytes Word(int32_t w) {
  Bytes b(4);
  std::memcpy(b.data(), &w, 4);
  return b;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

class EmbeddedTableTest : public ::testing::Test {
 protected:
  EmbeddedTableTest() { Vcon_HandleManager::MemNew(&blob_, 0); }
  ~EmbeddedTableTest() override { MemDispose(blob_); }

  // Names of the records, read through positions.
  std::string Names(ppSubfile& table) {
    std::string out;
    for (int32_t i = 0; i < table.GetRecordCount(); ++i) {
      table.GoTo(i);
      ppParameter name;
      table.GetFieldValue(kName, name, nullptr);
      out += (i ? "," : "") + Text(name);
    }
    return out;
  }
  void Append(ppSubfile& table, const char* name, int32_t i = -1) {
    table.ClearRecordBuffer(nullptr);
    table.SetFieldValue(kName, ppParameter(name), nullptr);
    table.InsertRecordAt(i, nullptr);
  }

  dbtest::TempFolder folder_;
  ViewDatabase base_{folder_.Path("embedded.db")};
  Handle blob_ = nullptr;
};

TEST_F(EmbeddedTableTest, BlobHoldsLengthsRecordsPaddingAndATerminator) {
  const Bytes six = {1, 2, 3, 4, 5, 6}, eight = {9, 8, 7, 6, 5, 4, 3, 2};
  const Bytes blob = Join({Word(6), six, {0, 0}, Word(8), eight, Word(0)});
  ASSERT_EQ(blob.size(), 28u);
  SetBytes(blob_, Join({Word(6), six, {0xEE, 0xEE}, Word(8), eight, Word(0)}));
  ppEmbeddedData table("people", base_.Db(), blob_, nullptr);
  table.LoadFromBlob();
  EXPECT_EQ(table.GetRecordCount(), 2);
  table.SaveToBlob();
  EXPECT_EQ(BytesOf(blob_), blob);  // padding is written as zeros
}

TEST_F(EmbeddedTableTest, ReadingStopsAtTheTerminatorOrAtALengthThatDoesNotFit) {
  ppEmbeddedData table("people", base_.Db(), blob_, nullptr);
  for (const Bytes& blob : {Bytes{}, Word(0), Word(-5), Join({Word(3), {1, 2}})}) {
    SetBytes(blob_, blob);
    table.LoadFromBlob();
    EXPECT_EQ(table.GetRecordCount(), 0);
    EXPECT_EQ(table.GetValue(kName).Type(), ppParameter::kNone);
  }
  // The record before a damaged length is kept.
  SetBytes(blob_, Join({Word(2), {7, 7}, {0, 0}, Word(1000), Bytes(8, 1)}));
  table.LoadFromBlob();
  EXPECT_EQ(table.GetRecordCount(), 1);
  // A blob without a terminator ends at its end.
  SetBytes(blob_, Join({Word(4), {1, 2, 3, 4}}));
  table.LoadFromBlob();
  EXPECT_EQ(table.GetRecordCount(), 1);
}

// A record's length comes from the blob's bytes (a document's, say): one the zone cannot hold is
// damage, thrown with no record kept, rather than the end of the program.
TEST_F(EmbeddedTableTest, ARecordLongerThanTheZoneCanHoldIsDamage) {
  const uint32_t length = 2u << 20;
  SetBytes(blob_, Join({Word(2), {7, 7}, {0, 0}, Word(int32_t(length)), Bytes(length, 1), Word(0)}));
  ppEmbeddedData table("people", base_.Db(), blob_, nullptr);
  {
    dbtest::ZoneFiller filler;
    EXPECT_EQ(dbtest::ErrorOf([&] { table.LoadFromBlob(); }), db::kDamagedFile);
    EXPECT_EQ(table.GetRecordCount(), 0);
  }
  table.LoadFromBlob();
  EXPECT_EQ(table.GetRecordCount(), 2);
}

TEST_F(EmbeddedTableTest, RecordsSurviveTheBlobRoundTrip) {
  {
    ppEmbeddedData table("people", base_.Db(), blob_, nullptr);
    Append(table, "Bert");
    Append(table, "Anna", 0);
    Append(table, "Cleo", 99);  // past the end appends
    EXPECT_EQ(Names(table), "Anna,Bert,Cleo");
    table.SaveToBlob();
    EXPECT_EQ(MemGetSize(blob_) % 4, 0);
  }
  ppEmbeddedData again("people", base_.Db(), blob_, nullptr);
  EXPECT_EQ(again.GetItemCount(), 0);  // nothing loaded until the first access
  EXPECT_EQ(Text(again.GetValue(kName)), "Anna");
  EXPECT_EQ(again.GetValue(5).ToLong(), 0);  // the record id of a position is the position
  again.GoTo(2);
  EXPECT_EQ(Text(again.GetValue(kName)), "Cleo");
  EXPECT_EQ(again.GetValue(5).ToLong(), 2);
  EXPECT_EQ(again.RecordIdAt(2), 0);
}

TEST_F(EmbeddedTableTest, InsertItemGoesAfterTheCurrentRecordOrAtTheStart) {
  ppEmbeddedData table("people", base_.Db(), blob_, nullptr);
  table.InsertItem(1);
  EXPECT_EQ(table.GetItemCount(), 1);
  table.DeleteItem();
  EXPECT_EQ(BytesOf(blob_), Word(0));

  for (const char* name : {"A", "B", "C", "D", "E"}) Append(table, name);
  table.SaveToBlob();
  table.GoTo(2);
  table.InsertItemNotified(true);
  EXPECT_EQ(table.GetCurrentItem(), 2);
  EXPECT_EQ(Names(table), "A,B,C,,D,E");
  table.GoTo(2);
  EXPECT_EQ(Text(table.GetValue(kName)), "C");

  // Changes through the property interface reach the blob at once.
  table.GoTo(3);
  table.SetValueAt(kName, ppParameter("X"), false);
  ppEmbeddedData reader("people", base_.Db(), blob_, nullptr);
  reader.LoadFromBlob();
  EXPECT_EQ(Names(reader), "A,B,C,X,D,E");
  table.GoTo(0);
  table.DeleteItemNotified(false);
  reader.LoadFromBlob();
  EXPECT_EQ(Names(reader), "B,C,X,D,E");
  // Out-of-range positions are ignored.
  table.DeleteRecordAt(17);
  table.ReadRecordAt(-1, nullptr);
  table.WriteRecordAt(5, nullptr);
  EXPECT_EQ(table.GetRecordCount(), 5);
}

TEST_F(EmbeddedTableTest, EveryAccessReloadsFromTheBlob) {
  ppEmbeddedData first("people", base_.Db(), blob_, nullptr);
  ppEmbeddedData second("people", base_.Db(), blob_, nullptr);
  first.InsertItem(0);
  first.SetValue(kName, ppParameter("Anna"));
  EXPECT_EQ(Text(second.GetValue(kName)), "Anna");
  second.SetValue(kAge, ppParameter(30));
  EXPECT_EQ(first.GetValue(kAge).ToLong(), 30);
  EXPECT_EQ(Text(first.GetValue(kName)), "Anna");
}

TEST_F(EmbeddedTableTest, ChangesAreWrittenIntoTheOwnerRecord) {
  {
    ppDatafile docs("docs", base_.Db());
    docs.ClearRecordBuffer(nullptr);
    docs.SetFieldValue(kTitle, ppParameter("Kitchen"), nullptr);
    docs.AddRecord(nullptr, nullptr);
    docs.SelectAll();
    Handle lines =
        dbBasicmmHandler::Data(docs.GetRecordBuffer() + docs.File().Layout().Handler(kLines).Offset());
    ppEmbeddedData table("people", base_.Db(), lines, &docs);
    table.InsertItem(0);
    table.SetValue(kName, ppParameter("Sink"));
    table.InsertItem(0);
  }
  base_.Open();
  {
    ppDatafile docs("docs", base_.Db());
    docs.SelectAll();
    Handle lines =
        dbBasicmmHandler::Data(docs.GetRecordBuffer() + docs.File().Layout().Handler(kLines).Offset());
    ppEmbeddedData table("people", base_.Db(), lines, &docs);
    table.LoadFromBlob();
    EXPECT_EQ(Names(table), "Sink,");
    // Deleting every record still reaches the stored owner.
    table.GoTo(0);
    table.DeleteItem();
    table.DeleteItem();
    EXPECT_EQ(table.GetRecordCount(), 0);
  }
  base_.Open();
  ppDatafile docs("docs", base_.Db());
  docs.SelectAll();
  Handle lines =
      dbBasicmmHandler::Data(docs.GetRecordBuffer() + docs.File().Layout().Handler(kLines).Offset());
  EXPECT_EQ(BytesOf(lines), Word(0));
}

TEST_F(EmbeddedTableTest, SubfileKeepsRecordsOnlyInMemory) {
  ppSubfile table("people", base_.Db());
  Append(table, "Anna");
  table.GoTo(0);
  table.SetValue(kAge, ppParameter(41));
  EXPECT_EQ(table.GetValue(kAge).ToLong(), 41);
  table.InsertItem(0);
  EXPECT_EQ(table.GetSelectedCount(), 2);
  EXPECT_EQ(table.GetRecordCount(), 2);
  ppDatafile people("people", base_.Db());
  EXPECT_EQ(people.GetRecordCount(), 0);
}

}  // namespace
