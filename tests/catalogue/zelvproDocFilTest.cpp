// The document record file on a catalogue file the tests make: the packed form of the record, the
// plan scales in the three viewpoint fields, unpacking with the signature and version tests and the
// upgrade of older files, the price settings it lends the foundation, and the server delete handler
// (through a double of the server exchange).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "CatalogueTestSupport.h"
#include "catalogue/records/ServerDeleteRequest.h"
#include "catalogue/records/iServerDeleteService.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "catalogue/records/zelvproTagFil.h"
#include "database/dbErrors.h"
#include "foundation/HandleRoom.h"
#include "foundation/PriceRounding.h"
#include "foundation/ppMoney.h"
#include "framework/ppCollaborator.h"

namespace {

using cattest::SetField;
using Bytes = std::vector<uint8_t>;

// A handle the test owns.
class OwnedHandle {
 public:
  OwnedHandle() { Vcon_HandleManager::MemNew(&h_, 0); }
  ~OwnedHandle() { MemDispose(h_); }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  Handle Get() const { return h_; }
  Bytes Content() const {
    const auto* p = reinterpret_cast<const uint8_t*>(*h_);
    return Bytes(p, p + MemGetSize(h_));
  }

 private:
  Handle h_ = nullptr;
};

Bytes Words(std::initializer_list<uint32_t> words) {
  Bytes bytes;
  for (uint32_t w : words)
    for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(w >> (8 * i)));
  return bytes;
}

class DocumentRecordFileTest : public cattest::CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    db_ = Open();
    doc_ = std::make_unique<zelvproDocFil>(*db_);
  }
  void TearDown() override {
    doc_.reset();
    db_.reset();
    CatalogueTest::TearDown();
  }

  void Pack(OwnedHandle& into) { doc_->PackRecord(nullptr, into.Get()); }

  std::string Wide(const char* name) { return cattest::WideField(*doc_, name); }
  int32_t Long(const char* name) { return cattest::LongField(*doc_, name); }

  std::unique_ptr<zelvDatabase> db_;
  std::unique_ptr<zelvproDocFil> doc_;
};

TEST_F(DocumentRecordFileTest, AnEmptyRecordIsItsEndMarkAndVersion2LeadsIt) {
  OwnedHandle packed;
  Pack(packed);
  EXPECT_EQ(packed.Content(), Words({0xFFFFFFFF}));
  SetField(*doc_, "version", 2);
  Pack(packed);
  EXPECT_EQ(packed.Content(), Words({0, 2, 0xFFFFFFFF}));
}

TEST_F(DocumentRecordFileTest, PlanScalesLiveInBytes4To19OfTheLastViewpointFields) {
  // 1.0 is 0x3FF00000'00000000: X's high half and Z's low half hold the two top words, so X is all
  // zero and omitted.
  doc_->SetPlanScales({1.0, 1.0});
  OwnedHandle packed;
  Pack(packed);
  EXPECT_EQ(packed.Content(), Words({50, 0x3FF00000, 0, 51, 0x3FF00000, 0, 0xFFFFFFFF}));
  doc_->ClearRecordBuffer(nullptr);
  ASSERT_EQ(doc_->Unpack(packed.Get(), ""), zelvproDocFil::UnpackResult::kAccepted);
  EXPECT_EQ(doc_->PlanScales().horizontal, 1.0);
  EXPECT_EQ(doc_->PlanScales().vertical, 1.0);

  doc_->SetPlanScales({0.5, 2.5});
  Pack(packed);
  doc_->ClearRecordBuffer(nullptr);
  ASSERT_EQ(doc_->Unpack(packed.Get(), ""), zelvproDocFil::UnpackResult::kAccepted);
  EXPECT_EQ(doc_->PlanScales().horizontal, 0.5);
  EXPECT_EQ(doc_->PlanScales().vertical, 2.5);

  // What an older file left in bytes 0 to 3 and 20 to 23 stays.
  const RecordField x(*doc_, "viewPointXLast"), z(*doc_, "viewPointZLast");
  x.SetRaw64(doc_->Record(), 0x11111111'0BADCAFE);
  z.SetRaw64(doc_->Record(), 0x0DDBA11'22222222);
  doc_->SetPlanScales({3.0, 4.0});
  EXPECT_EQ(uint32_t(x.Raw64(doc_->Record())), 0x0BADCAFEu);
  EXPECT_EQ(uint32_t(uint64_t(z.Raw64(doc_->Record())) >> 32), 0x0DDBA11u);
  EXPECT_EQ(doc_->PlanScales().horizontal, 3.0);
  EXPECT_EQ(doc_->PlanScales().vertical, 4.0);
}

TEST_F(DocumentRecordFileTest, StateFlagsCountSavedOnceAs1AndModifiedAs2) {
  const struct {
    bool savedOnce, modified;
    int32_t flags;
  } kCases[] = {{false, false, 0}, {true, false, 1}, {false, true, 2}, {true, true, 3}};
  for (const auto& c : kCases) {
    doc_->SetSavedOnce(c.savedOnce);
    doc_->SetModified(c.modified);
    doc_->StoreStateFlags();
    EXPECT_EQ(Long("flags"), c.flags) << c.savedOnce << c.modified;
  }
  doc_->SetModified(false);
  doc_->MarkModified();
  EXPECT_TRUE(doc_->IsModified());
}

// A document file of another program, version or state must leave the open document as it was.
TEST_F(DocumentRecordFileTest, ARefusedFileLeavesTheOpenDocumentIntact) {
  const struct {
    const char* what;
    int32_t version;
    const char* signature;
    zelvproDocFil::UnpackResult result;
  } kCases[] = {
      {"later version", 3, "Zelvo", zelvproDocFil::UnpackResult::kUnknownVersion},
      {"negative version", -1, "Zelvo", zelvproDocFil::UnpackResult::kUnknownVersion},
      {"signature one character off", 2, "Zelvp", zelvproDocFil::UnpackResult::kForeignSignature},
      {"no signature", 2, "", zelvproDocFil::UnpackResult::kAccepted},
      {"same signature", 2, "Zelvo", zelvproDocFil::UnpackResult::kAccepted},
  };
  for (const auto& c : kCases) {
    doc_->ClearRecordBuffer(nullptr);
    SetField(*doc_, "version", c.version);
    SetField(*doc_, "appSignature", c.signature);
    SetField(*doc_, "number", u"incoming");
    doc_->SetPlanScales({9.0, 9.0});
    OwnedHandle file;
    Pack(file);

    doc_->ClearRecordBuffer(nullptr);
    SetField(*doc_, "version", 2);
    SetField(*doc_, "number", u"open");
    doc_->SetPlanScales({0.5, 0.25});
    doc_->TagTable().SaveToBlob();
    OwnedHandle before;
    Pack(before);

    EXPECT_EQ(doc_->Unpack(file.Get(), "Zelvo"), c.result) << c.what;
    OwnedHandle after;
    Pack(after);
    if (c.result == zelvproDocFil::UnpackResult::kAccepted) {
      EXPECT_EQ(Wide("number"), "incoming") << c.what;
      EXPECT_EQ(doc_->PlanScales().vertical, 9.0) << c.what;
    } else {
      EXPECT_EQ(after.Content(), before.Content()) << c.what;
    }
  }
}

TEST_F(DocumentRecordFileTest, ADamagedFileIsAnErrorNumberAndChangesNothing) {
  SetField(*doc_, "number", u"incoming text long enough");
  OwnedHandle file;
  Pack(file);
  MemSetSize(file.Get(), MemGetSize(file.Get()) - 8);  // the text runs past the end
  doc_->ClearRecordBuffer(nullptr);
  SetField(*doc_, "number", u"open");
  OwnedHandle before;
  Pack(before);
  try {
    doc_->Unpack(file.Get(), "");
    ADD_FAILURE() << "a damaged file was accepted";
  } catch (int32_t error) {
    EXPECT_EQ(error, db::kDamagedFile);
  }
  OwnedHandle after;
  Pack(after);
  EXPECT_EQ(after.Content(), before.Content());
}

// A module record of the doc's plan blob: snap entries and y/z positions.
void AddPlanRecord(zelvproDocModuleFil& plan, const std::vector<int32_t>& snaps, double y, double z) {
  plan.ClearRecordBuffer(nullptr);
  cattest::SetWords(plan, "snappoints", snaps);
  SetField(plan, "yposition", y);
  SetField(plan, "zposition", z);
  plan.InsertRecordAt(-1, nullptr);
  plan.SaveToBlob();
  plan.DisposeRecords();
}

// The handle zone filled but for free blocks of the given sizes, or 16 bytes more each (none for 0):
// taken first, each followed by a locked handle so that no compaction joins them, and given back last,
// so that nothing else serves a request. All given back when destroyed.
class ZoneLeaving {
 public:
  explicit ZoneLeaving(std::initializer_list<uint32_t> blocks) {
    std::vector<Handle> reserves;
    for (const uint32_t size : blocks) {
      if (size == 0) continue;
      reserves.push_back(MemTryNew(size));
      Take(MemTryNew(0));
    }
    // Locked, so that the compactions the requests below start slide none of these megabytes.
    for (uint32_t size = 1u << 20; size > 0; size /= 2)
      while (Handle h = MemTryNew(size)) Take(h);
    while (Handle h = MemTryNew(0)) Take(h);
    for (Handle h : reserves) MemDispose(h);
  }
  ~ZoneLeaving() {
    for (Handle h : taken_) MemDispose(h);
  }
  ZoneLeaving(const ZoneLeaving&) = delete;
  ZoneLeaving& operator=(const ZoneLeaving&) = delete;

 private:
  void Take(Handle h) {
    MemLock(h);
    taken_.push_back(h);
  }

  std::vector<Handle> taken_;
};

// The open document's fields are overwritten one by one, so a file goes into it only when one free
// block could take all its fields at once (their packed bytes and a block header and rounding each).
// A zone whose free space cannot hold the record so refuses the file as damaged, the open document
// unchanged, however little is free: judging the file must not end the program either. With that room
// the same file opens.
using DocumentRecordFileDeathTest = DocumentRecordFileTest;

TEST_F(DocumentRecordFileDeathTest, AFileTheZonesFreeSpaceCannotHoldIsDamagedAndChangesNothing) {
  constexpr uint32_t kLarge = 256u << 10;
  SetField(*doc_, "number", u"incoming");
  AddPlanRecord(doc_->FurnitureTable(), {}, 0.0, 2500.0);
  const Handle elements = RecordField(*doc_, "calcElements").Data(doc_->Record());
  ASSERT_NE(elements, nullptr);
  MemSetSize(elements, kLarge);
  std::memset(*elements, 0x5A, kLarge);
  OwnedHandle file;
  Pack(file);
  doc_->ClearRecordBuffer(nullptr);
  SetField(*doc_, "number", u"open");
  OwnedHandle before;
  Pack(before);

  // First in a child process, where a fatal memory box ends only the child: from a zone with nothing
  // free, and from one with about the large field's bytes free, 16 bytes more at each step.
  const auto judged = [&](std::initializer_list<uint32_t> free) {
    const ZoneLeaving zone(free);
    return dbtest::ErrorOf([&] { doc_->Unpack(file.Get(), ""); });
  };
  ASSERT_EXIT(
      {
        for (uint32_t left = 0; left < 2048; left += 16)
          if (const int32_t error = judged({left}); error != 0 && error != db::kDamagedFile) std::_Exit(1);
        for (uint32_t left = kLarge; left < kLarge + 4096; left += 16)
          if (const int32_t error = judged({left}); error != 0 && error != db::kDamagedFile) std::_Exit(1);
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "");

  const auto refusedAsItWas = [&](const char* what, int32_t error) {
    SCOPED_TRACE(what);
    EXPECT_EQ(error, db::kDamagedFile);
    OwnedHandle after;
    Pack(after);
    EXPECT_EQ(after.Content(), before.Content()) << "the open document changed";
  };
  refusedAsItWas("nothing free", judged({0}));
  refusedAsItWas("1024 bytes free", judged({1024}));
  // Free blocks that take the fields one by one, but none that takes them at once.
  const uint32_t fields = uint32_t(doc_->FieldCount());
  const uint32_t packed = uint32_t(MemGetSize(file.Get())) - 4;  // up to the end mark
  const uint32_t pieces = kLarge + 16 * fields + 256;
  ASSERT_LT(pieces + 16, packed + 32 * fields);
  refusedAsItWas("in two pieces", judged({pieces, 4096}));
  EXPECT_EQ(judged({packed + 32 * fields}), 0);
  EXPECT_EQ(Wide("number"), "incoming");
  EXPECT_EQ(MemGetSize(elements), int32_t(kLarge));
}

// A plan whose geometry holds a number that is not one, or lies farther than any plan reaches (10 km
// from the origin), is damaged: the file is refused whole and the open document keeps its plan. The
// farthest place itself is still a plan.
TEST_F(DocumentRecordFileTest, APlanPlacedBeyondReachOrAtNoNumberIsDamagedAndChangesNothing) {
  const struct {
    const char* what;
    const char* table;
    const char* field;
    double value;
    bool damaged;
  } kCases[] = {
      {"a unit at x not a number", "furniture", "xposition", std::nan(""), true},
      {"a unit 20 km along z", "furniture", "zposition", 2.0e7, true},
      {"a unit 20 km to the left", "furniture", "xposition", -2.0e7, true},
      {"a unit infinitely high", "furniture", "yposition", HUGE_VAL, true},
      {"a wall ending at no number", "room", "endPt.x", std::nan(""), true},
      {"a unit at the farthest place", "furniture", "xposition", zelvproDocFil::kFarthestCoordinate, false},
      {"a unit at the farthest place left", "furniture", "zposition", -zelvproDocFil::kFarthestCoordinate,
       false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    // The incoming file: one sane element and then the one of the case.
    doc_->ClearRecordBuffer(nullptr);
    zelvproDocModuleFil& incoming =
        std::string(c.table) == "room" ? doc_->RoomTable() : doc_->FurnitureTable();
    for (const double value : {1500.0, c.value}) {
      incoming.ClearRecordBuffer(nullptr);
      SetField(incoming, "xposition", 1500.0);
      SetField(incoming, c.field, value);
      incoming.InsertRecordAt(-1, nullptr);
    }
    incoming.SaveToBlob();
    incoming.DisposeRecords();
    SetField(*doc_, "number", u"incoming");
    OwnedHandle file;
    Pack(file);

    // The open document: a plan of one unit.
    doc_->ClearRecordBuffer(nullptr);
    SetField(*doc_, "number", u"open");
    AddPlanRecord(doc_->FurnitureTable(), {}, 0.0, 2500.0);
    OwnedHandle before;
    Pack(before);

    if (!c.damaged) {
      EXPECT_EQ(doc_->Unpack(file.Get(), ""), zelvproDocFil::UnpackResult::kAccepted);
      EXPECT_EQ(Wide("number"), "incoming");
      continue;
    }
    try {
      doc_->Unpack(file.Get(), "");
      ADD_FAILURE() << "the plan was accepted";
    } catch (int32_t error) {
      EXPECT_EQ(error, db::kDamagedFile);
    }
    OwnedHandle after;
    Pack(after);
    EXPECT_EQ(after.Content(), before.Content()) << "the open document changed";
  }
}

TEST_F(DocumentRecordFileTest, OlderVersionsComeUpTo2) {
  const std::vector<int32_t> kOldSnaps = {1, 2, 3, 4, 5, 6, 7};
  const std::vector<int32_t> kNewSnaps = {1, 2, 0, 3, 4, 5, 6, 0, 0};
  const struct {
    int32_t version;
    std::vector<int32_t> snaps;
    double y, z;
  } kCases[] = {{1, kOldSnaps, 100.0, 250.0}, {0, kNewSnaps, 250.0, 100.0}};
  for (const auto& c : kCases) {
    doc_->ClearRecordBuffer(nullptr);
    SetField(*doc_, "version", c.version);
    SetField(*doc_, "_number", "N\xB0 17");  // ANSI degree sign
    SetField(*doc_, "_costumerName", "Hansen");
    SetField(*doc_, "_lastDirectory", "C:\\plans");
    AddPlanRecord(doc_->RoomTable(), kOldSnaps, 100.0, 250.0);
    AddPlanRecord(doc_->FurnitureTable(), kOldSnaps, 100.0, 250.0);
    OwnedHandle file;
    Pack(file);

    doc_->ClearRecordBuffer(nullptr);
    ASSERT_EQ(doc_->Unpack(file.Get(), ""), zelvproDocFil::UnpackResult::kAccepted);
    EXPECT_EQ(Long("version"), 2);
    EXPECT_EQ(RecordField(*doc_, "number").WideText(doc_->Record()), u"N\u00B0 17");
    EXPECT_EQ(Wide("costumerName"), "Hansen");
    EXPECT_EQ(Wide("lastDirectory"), "C:\\plans");
    for (zelvproDocModuleFil* plan : {&doc_->RoomTable(), &doc_->FurnitureTable()}) {
      plan->LoadFromBlob();
      ASSERT_EQ(plan->GetRecordCount(), 1);
      plan->ReadRecordAt(0, nullptr);
      EXPECT_EQ(RecordField(*plan, "snappoints").Words(plan->GetRecordBuffer()), c.snaps) << c.version;
      EXPECT_EQ(RecordField(*plan, "yposition").Double(plan->GetRecordBuffer()), c.y) << c.version;
      EXPECT_EQ(RecordField(*plan, "zposition").Double(plan->GetRecordBuffer()), c.z) << c.version;
      plan->DisposeRecords();
    }
  }
}

// Version-0 plans held the plan depth in "yposition" and the height in "zposition". Opening them
// exchanges the two; copying yposition into zposition instead would lose every unit's height. The old
// depth passes through single precision.
TEST_F(DocumentRecordFileTest, AVersion0PlanExchangesItsHeightAndDepthRatherThanCopyingOne) {
  doc_->ClearRecordBuffer(nullptr);
  SetField(*doc_, "version", 0);
  AddPlanRecord(doc_->FurnitureTable(), {}, 720.1, 1834.25);
  OwnedHandle file;
  Pack(file);
  doc_->ClearRecordBuffer(nullptr);
  ASSERT_EQ(doc_->Unpack(file.Get(), ""), zelvproDocFil::UnpackResult::kAccepted);
  zelvproDocModuleFil& plan = doc_->FurnitureTable();
  plan.LoadFromBlob();
  ASSERT_EQ(plan.GetRecordCount(), 1);
  plan.ReadRecordAt(0, nullptr);
  EXPECT_EQ(RecordField(plan, "yposition").Double(plan.GetRecordBuffer()), 1834.25) << "the height";
  EXPECT_EQ(RecordField(plan, "zposition").Double(plan.GetRecordBuffer()), double(float(720.1)))
      << "the depth";
  plan.DisposeRecords();
}

TEST_F(DocumentRecordFileTest, LendsItsPriceSettingsWhileItExists) {
  EXPECT_EQ(CurrentDocumentPriceSettings(), doc_.get());
  EXPECT_EQ(DocumentRecordFile, doc_.get());
  EXPECT_FALSE(doc_->HasOwnPriceSettings());
  EXPECT_EQ(doc_->RoundingStepRaw(), ppMoney::kNoValue);  // an empty step is no step
  SetField(*doc_, "useDocumentFactors", 1);
  SetField(*doc_, "exchangeFactor", 7.5);
  SetField(*doc_, "profitFactor", 1.25);
  SetField(*doc_, "rounding", 3);
  SetField(*doc_, "roundto", -5000);
  EXPECT_TRUE(doc_->HasOwnPriceSettings());
  EXPECT_EQ(doc_->ExchangeFactor(), 7.5);
  EXPECT_EQ(doc_->ProfitFactor(), 1.25);
  EXPECT_EQ(doc_->RoundingMode(), 3u);
  EXPECT_EQ(doc_->RoundingStepRaw(), -5000);
  doc_.reset();
  EXPECT_EQ(CurrentDocumentPriceSettings(), nullptr);
  EXPECT_EQ(DocumentRecordFile, nullptr);
}

// ---- the server delete request ----------------------------------------------------------------------

// The handler never looks inside a file list: stand-ins are addresses of two words.
int gOldListStandIn = 0, gParsedListStandIn = 0;
ServerFileList* const kOldList = reinterpret_cast<ServerFileList*>(&gOldListStandIn);
ServerFileList* const kParsedList = reinterpret_cast<ServerFileList*>(&gParsedListStandIn);

class ServerDouble : public iServerDeleteService {
 public:
  int32_t Confirm(int32_t textId) override {
    alerts.push_back(textId);
    return answer;
  }
  Vcon::WString SendDeleteRequest(const Vcon::WString& fileName) override {
    sent.push_back(fileName);
    return reply;
  }
  ServerFileList* ParseFileList(const Vcon::WString&) override { return kParsedList; }
  void DeleteFileList(ServerFileList* list) override { deleted.push_back(list); }

  int32_t answer = 1;
  Vcon::WString reply;
  std::vector<int32_t> alerts;
  std::vector<Vcon::WString> sent;
  std::vector<ServerFileList*> deleted;
};

TEST_F(DocumentRecordFileTest, TheDeleteRequestFollowsTheAnswerAndTheReply) {
  const struct {
    const char* what;
    int32_t answer;
    const char16_t* reply;
    int32_t resultTextId;
    const char16_t* suffix;
    bool listReplaced;
  } kCases[] = {
      {"declined", 2, u"<accept/>", 0, u"", false},
      {"refused with an id", 1, u"<error id=\"x7\"/>", 7603, u" (x7)", false},
      {"refused without an id", 1, u"<error code=\"x7\"/>", 7603, u"", false},
      {"refused, id without quotes", 1, u"<error id=x7/>", 7603, u"", false},
      {"accepted", 1, u"<accept/><file name=\"a\"/>", 0, u"", true},
  };
  for (const auto& c : kCases) {
    ServerDouble server;
    server.answer = c.answer;
    server.reply = c.reply;
    doc_->SetServerDeleteService(&server);
    ServerDeleteRequest request;
    request.fileName = u"kitchen 4";
    request.fileList = kOldList;
    ppCollaborator dialog;
    dialog.Broadcast(zelvproDocFil::kDocumentChannel, zelvproDocFil::kDeleteMessage,
                     reinterpret_cast<intptr_t>(&request));
    EXPECT_EQ(server.alerts, std::vector<int32_t>{7423}) << c.what;
    EXPECT_EQ(request.resultTextId, c.resultTextId) << c.what;
    EXPECT_EQ(request.messageSuffix, Vcon::WString(c.suffix)) << c.what;
    EXPECT_EQ(request.fileList, c.listReplaced ? kParsedList : kOldList) << c.what;
    EXPECT_EQ(server.deleted,
              c.listReplaced ? std::vector<ServerFileList*>{kOldList} : std::vector<ServerFileList*>{})
        << c.what;
    EXPECT_EQ(server.sent.size(), c.answer == 1 ? 1u : 0u) << c.what;
    doc_->SetServerDeleteService(nullptr);
  }
}

}  // namespace
