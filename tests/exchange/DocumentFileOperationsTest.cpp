// Saving and opening the document on a copy of the demo settings: the file holds exactly the packed
// record, the state comes back, refused files leave the open document alone, and a failed save keeps
// the previous file and offers the save dialog. Boxes are read from the box log; the save dialog is
// answered by the headless desktop's idle script.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "calculation/PriceListTable.h"
#include "calculation/zelvproCalculatorFil.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproDocFil.h"
#include "exchange/DocumentCommands.h"
#include "exchange/DocumentFileOperations.h"
#include "exchange/OrderDocument.h"
#include "exchange/OrderTextWriter.h"
#include "platform/Shell.h"
#include "platform/CommonDialogs.h"
#include "platform/Controls.h"
#include "platform/ControlsDrawing.h"
#include "foundation/FileOperations.h"
#include "foundation/PosixPath.h"
#include "exchange/iDocumentPlanSteps.h"
#include "foundation/FileDialogs.h"
#include "foundation/FileFaultHook.h"
#include "foundation/FileOperations.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/MessageBox.h"
#include "platform/WindowApi.h"
#include "support/DemoSettings.h"
#include "support/FixedTime.h"

namespace {

namespace fs = std::filesystem;

plat::SYSTEMTIME FixedClock() { return support::FixedTime(2026, 3, 4, 5); }

// Records the plan steps the operations ran.
class RecordingSteps : public iDocumentPlanSteps {
 public:
  void SaveTrees(zelvproDocFil&) override { ++saves; }
  void RebuildFromTables(zelvproDocFil&) override { ++rebuilds; }
  void ViewValues(double& x, double& y) override { x = 1.5, y = -2.25; }
  void SetViewValues(double x, double y) override { setX = x, setY = y; }
  void AfterLoad(int32_t lastView) override { afterLoads.push_back(lastView); }
  int32_t ViewMode() override { return viewMode; }
  bool ExportPicture(ppFileSpec& file) override {
    exported.push_back(std::u16string(file.path));
    return true;
  }
  bool ExportArticleList(ppFileSpec& file) override {
    exported.push_back(std::u16string(file.path));
    return true;
  }
  std::vector<std::u16string> exported;
  void WriteOrderLines(iOrderWriter& writer) override {
    for (int i = 0; i < 2; ++i) {
      const std::string line = "MODUL\t" + std::to_string(writer.NextModule()) + "\r\n";
      FileWrite(writer.File(), line.data(), uint32_t(line.size()), kFileCurrentPosition);
    }
  }

  int saves = 0, rebuilds = 0;
  double setX = 0, setY = 0;
  std::vector<int32_t> afterLoads;
  int32_t viewMode = 2024;
};

void FailWrites(Vcon::FileOp op, const char*) {
  if (op == Vcon::FileOp::Write) throw kFileErrBadCall;
}

class DocumentFileOperationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    plat::ClearMessageBoxLog();
    saved_ = fs::current_path();
    demo_ = std::make_unique<DemoSettings>();
    fs::current_path(demo_->Root());
    ppFileSpec applicationFile(Vcon::WString(demo_->File("zadezodid.cdb").string().c_str()));
    application_ = std::make_unique<qxApplicationdb>(applicationFile);
    doc_ = std::make_unique<zelvproDocFil>(zelvproDocFil::DatabaseToBind());
    ops_ = std::make_unique<DocumentFileOperations>(*doc_, steps_);
    ops_->SetClock(&FixedClock);
  }
  void TearDown() override {
    Vcon::SetFileFaultHook(nullptr);
    plat::HeadlessDriver::Reset();
    ops_.reset();
    doc_.reset();
    application_.reset();
    fs::current_path(saved_);
    demo_.reset();
  }
  std::string PathOf(const char* name) const { return (demo_->Root() / name).string(); }
  Vcon::WString WidePath(const char* name) const { return Vcon::WString(PathOf(name).c_str()); }
  std::string Bytes(const char* name) const {
    std::ifstream in(PathOf(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  void SetWide(const char* field, const char16_t* text) {
    RecordField(*doc_, field).SetWideText(doc_->Record(), Vcon::WString(text));
  }
  Vcon::WString Wide(const char* field) const { return RecordField(*doc_, field).WideText(doc_->Record()); }
  int32_t Long(const char* field) const { return RecordField(*doc_, field).Long(doc_->Record()); }
  std::string Packed() {
    Handle h = nullptr;
    Vcon_HandleManager::MemNew(&h, 0);
    ops_->PrepareForSave(h);
    std::string bytes(*h, *h + MemGetSize(h));
    MemDispose(h);
    return bytes;
  }
  // Saves the record as it now is to `name` through a second, plain save; the document keeps its
  // file record.
  void SaveCopy(const char* name) {
    const ppFileSpec kept = doc_->DocumentFile();
    doc_->DocumentFile() = ppFileSpec(WidePath(name));
    ASSERT_TRUE(ops_->Save());
    doc_->DocumentFile() = kept;
  }
  // The next file dialog is answered with `name` and Enter.
  void AnswerNextDialog(const char16_t* name) {
    plat::HeadlessDriver::SetIdleScript([this, name] {
      if (plat::GetActiveWindow() == nullptr || cancelled_) return false;
      cancelled_ = true;
      plat::SetDlgItemTextW(plat::GetActiveWindow(), plat::kFileNameItem, name);
      plat::SetFocus(plat::GetDlgItem(plat::GetActiveWindow(), plat::kFileNameItem));
      plat::Desktop::Key(plat::VK_RETURN, true);
      return true;
    });
  }
  // The next save dialog is cancelled with Esc.
  void CancelNextDialog() {
    plat::HeadlessDriver::SetIdleScript([this] {
      if (plat::GetActiveWindow() == nullptr || cancelled_) return false;
      cancelled_ = true;
      plat::Desktop::Key(plat::VK_ESCAPE, true);
      return true;
    });
  }

  fs::path saved_;
  std::unique_ptr<DemoSettings> demo_;
  std::unique_ptr<qxApplicationdb> application_;
  std::unique_ptr<zelvproDocFil> doc_;
  RecordingSteps steps_;
  std::unique_ptr<DocumentFileOperations> ops_;
  bool cancelled_ = false;
};

TEST_F(DocumentFileOperationsTest, SaveThenOpenGivesThePackedBytesAndTheStateBack) {
  SetWide("description", u"Kitchen, north wall");
  SetWide("costumerName", u"Åse Lund");
  doc_->DocumentFile() = ppFileSpec(WidePath("plan.qxf"));
  doc_->SetSavedOnce(true);
  doc_->MarkModified();
  // The save stores the editor's view values first, as the file's plan scales.
  DocumentPlanScales scales;
  scales.horizontal = 1.5;
  scales.vertical = -2.25;
  doc_->SetPlanScales(scales);
  const std::string expected = Packed();
  doc_->SetPlanScales(DocumentPlanScales{});
  ASSERT_TRUE(ops_->Save());
  EXPECT_EQ(doc_->PlanScales().horizontal, 1.5);
  EXPECT_EQ(doc_->PlanScales().vertical, -2.25);
  EXPECT_EQ(Bytes("plan.qxf"), expected) << "the file is the packed record and nothing else";
  EXPECT_EQ(Long("version"), 2);
  EXPECT_EQ(Long("flags"), 3);
  EXPECT_EQ(Long("lastView"), 2024);
  EXPECT_FALSE(Wide("xmlExport").empty());
  EXPECT_TRUE(doc_->IsSavedOnce());
  EXPECT_FALSE(doc_->IsModified());
  EXPECT_GE(steps_.saves, 1);

  SetWide("description", u"changed since");
  doc_->SetSavedOnce(false);
  doc_->MarkModified();
  ASSERT_TRUE(ops_->OpenDocumentFile(WidePath("plan.qxf")));
  EXPECT_EQ(Wide("description"), Vcon::WString(u"Kitchen, north wall"));
  EXPECT_EQ(Wide("costumerName"), Vcon::WString(u"Åse Lund"));
  EXPECT_TRUE(doc_->IsSavedOnce());
  EXPECT_FALSE(doc_->IsModified());
  EXPECT_EQ(steps_.rebuilds, 1);
  EXPECT_EQ(steps_.setX, 1.5);
  EXPECT_EQ(steps_.setY, -2.25);
  EXPECT_EQ(steps_.afterLoads, std::vector<int32_t>{2024});
  EXPECT_FALSE(ops_->Loading());
  EXPECT_TRUE(plat::MessageBoxLog().empty());
}

// The first dialog of a run starts in the folder the document's files were last chosen in (as the
// start-up read it), not in the program's folder; the file is saved there by its bare name.
TEST_F(DocumentFileOperationsTest, TheFirstDialogStartsInTheDocumentsLastDirectory) {
  fs::create_directories(PathOf("kept"));
  Vcon::WString folder = WidePath("kept");
  for (char16_t& c : folder)
    if (c == u'/') c = u'\\';
  folder += u'\\';
  ops_->SetLastDirectory(folder);
  LastDialogFolder.clear();
  std::u16string shown;
  cancelled_ = false;
  plat::HeadlessDriver::SetIdleScript([this, &shown] {
    if (plat::GetActiveWindow() == nullptr || cancelled_) return false;
    cancelled_ = true;
    shown = plat::WindowText(plat::GetDlgItem(plat::GetActiveWindow(), plat::kFileFolderItem));
    plat::SetDlgItemTextW(plat::GetActiveWindow(), plat::kFileNameItem, u"corner");
    plat::SetFocus(plat::GetDlgItem(plat::GetActiveWindow(), plat::kFileNameItem));
    plat::Desktop::Key(plat::VK_RETURN, true);
    return true;
  });
  ASSERT_TRUE(ops_->SaveAs());
  EXPECT_EQ(shown, (fs::path(PathOf("kept")) / "").u16string());
  EXPECT_TRUE(fs::exists(fs::path(PathOf("kept")) / "corner.qxf"));
  LastDialogFolder.clear();
}

TEST_F(DocumentFileOperationsTest, TheUsersOwnPriceListLinesComeBackWithTheDocument) {
  using Fil = zelvproCalculatorFil;
  Handle blob = nullptr;
  Vcon_HandleManager::MemNew(&blob, 0);
  auto lines = std::make_unique<Fil>(doc_->Database(), blob);
  SetPriceListTable(lines.get());
  struct Uninstall {
    ~Uninstall() { SetPriceListTable(nullptr); }
  } uninstall;
  auto add = [&](int32_t type, int32_t id, float percent, const char16_t* text) {
    lines->BeginAccess();
    lines->ClearRecordBuffer(nullptr);
    lines->SetFieldValue(Fil::kType, ppParameter(type), nullptr);
    lines->SetFieldValue(Fil::kRecordId, ppParameter(id), nullptr);
    lines->SetFieldValue(Fil::kDiscountPercent, ppParameter(percent), nullptr);
    lines->SetFieldValue(Fil::kText, ppParameter(Vcon::WString(text)), nullptr);
    lines->SetFieldValue(Fil::kPrice, ppParameter(ppMoney::FromRaw(777000)), nullptr);
    lines->InsertRecordAt(-1, nullptr);
    lines->SaveToBlob();
  };
  add(Fil::kCalculationItem, 1, 0.0f, u"from the plan");  // made again by every rebuild
  add(Fil::kCalculationItem, 8, -5.0f, u"discounted");    // made again, and given its discount back
  add(Fil::kItemService, 2, 0.0f, u"Fitting");
  add(Fil::kTextLine, 3, 0.0f, u"Delivery in May");
  add(Fil::kDiscountLine, 4, -10.0f, u"Spring offer");
  add(Fil::kSubtotalLine, 5, 0.0f, u"");
  add(Fil::kVatLine, 6, 25.0f, u"VAT");
  add(Fil::kTotalLine, 7, 0.0f, u"Total");  // generated
  SaveCopy("lines.qxf");

  // Opening empties the price list (the window's rebuild does it); the user's lines come back, each
  // numbered afresh as it is appended (without a layer palette: one above every number in use).
  lines->DeleteAllLines();
  ASSERT_TRUE(ops_->OpenDocumentFile(WidePath("lines.qxf")));
  lines->BeginAccess();
  ASSERT_EQ(lines->GetRecordCount(), 5);
  EXPECT_EQ(lines->KeptDiscounts(), 1) << "the discounted unit line waits for the plan's line";
  const std::vector<std::tuple<int32_t, int32_t, float, std::string>> expected = {
      {8, 1, 0.0f, "Fitting"},
      {9, 2, 0.0f, "Delivery in May"},
      {10, 3, -10.0f, "Spring offer"},
      {11, 4, 0.0f, ""},
      {12, 5, 25.0f, "VAT"}};
  for (int32_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    lines->ReadRecordAt(i, nullptr);
    ppParameter type, id, percent, text, price;
    lines->ppDatafile::GetFieldValue(Fil::kType, type, nullptr);
    lines->ppDatafile::GetFieldValue(Fil::kRecordId, id, nullptr);
    lines->ppDatafile::GetFieldValue(Fil::kDiscountPercent, percent, nullptr);
    lines->ppDatafile::GetFieldValue(Fil::kText, text, nullptr);
    lines->ppDatafile::GetFieldValue(Fil::kPrice, price, nullptr);
    EXPECT_EQ(std::make_tuple(type.ToLong(), id.ToLong(), percent.ToFloat(), text.AsWString().Narrow()),
              expected[size_t(i)]);
    EXPECT_EQ(price.ToMoney().Raw(), 777000) << "to the cent";
  }

  // Without a price list the document keeps the lines it came with.
  SetPriceListTable(nullptr);
  SaveCopy("again.qxf");
  SetPriceListTable(lines.get());
  lines->DeleteAllLines();
  ASSERT_TRUE(ops_->OpenDocumentFile(WidePath("again.qxf")));
  lines->BeginAccess();
  EXPECT_EQ(lines->GetRecordCount(), 5);
  EXPECT_EQ(lines->KeptDiscounts(), 1);
  lines.reset();
  MemDispose(blob);
}

TEST_F(DocumentFileOperationsTest, AStationeryFileOpensUntitledAndAnEmptySignatureIsAccepted) {
  RecordField(*doc_, "stationery").SetLong(doc_->Record(), 1);
  SaveCopy("template.qxf");
  // The signature is written from the application record at every save: clear it in the file's
  // record by packing by hand.
  RecordField(*doc_, "appSignature").SetText(doc_->Record(), Vcon::String());
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, 0);
  doc_->PackRecord(nullptr, h);
  std::ofstream(PathOf("unsigned.qxf"), std::ios::binary).write(*h, MemGetSize(h));
  MemDispose(h);

  for (const char* name : {"template.qxf", "unsigned.qxf"}) {
    doc_->SetSavedOnce(true);
    ASSERT_TRUE(ops_->OpenDocumentFile(WidePath(name))) << name;
    EXPECT_FALSE(doc_->IsSavedOnce()) << name << ": stationery opens untitled";
    EXPECT_EQ(Long("stationery"), 0) << name;
  }
  EXPECT_TRUE(plat::MessageBoxLog().empty());
}

TEST_F(DocumentFileOperationsTest, ARefusedFileLeavesTheDocumentItsRecordAndItsFileRecord) {
  struct Case {
    const char* what;
    const char* signature;  // null: the running one
    int32_t version;
  } const cases[] = {{"foreign signature", "another program", 2}, {"newer version", nullptr, 3}};
  for (const Case& c : cases) {
    SetWide("description", u"the refused file");
    Handle h = nullptr;
    Vcon_HandleManager::MemNew(&h, 0);
    ops_->PrepareForSave(h);
    // Patch the packed fields through the record and pack again.
    if (c.signature != nullptr)
      RecordField(*doc_, "appSignature").SetText(doc_->Record(), Vcon::String(c.signature));
    RecordField(*doc_, "version").SetLong(doc_->Record(), c.version);
    MemSetSize(h, 0);
    doc_->PackRecord(nullptr, h);
    std::ofstream(PathOf("refused.qxf"), std::ios::binary | std::ios::trunc).write(*h, MemGetSize(h));
    MemDispose(h);

    RecordField(*doc_, "version").SetLong(doc_->Record(), 2);
    RecordField(*doc_, "appSignature").SetText(doc_->Record(), zelvproDocFil::RunningSignature());
    SetWide("description", u"the open document");
    doc_->DocumentFile() = ppFileSpec(WidePath("mine.qxf"));
    doc_->SetSavedOnce(true);
    doc_->MarkModified();
    plat::ClearMessageBoxLog();
    EXPECT_FALSE(ops_->OpenDocumentFile(WidePath("refused.qxf"))) << c.what;
    const auto boxes = plat::MessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u) << c.what;
    EXPECT_EQ(boxes[0].text, u"The file to open is not created by this application") << c.what;
    EXPECT_EQ(boxes[0].caption, u"File error") << c.what;
    EXPECT_EQ(boxes[0].style, plat::MB_TASKMODAL | plat::MB_ICONHAND) << c.what;
    EXPECT_EQ(Wide("description"), Vcon::WString(u"the open document")) << c.what;
    EXPECT_EQ(Long("version"), 2) << c.what;
    EXPECT_EQ(doc_->DocumentFile().path, WidePath("mine.qxf")) << c.what;
    EXPECT_TRUE(doc_->IsModified()) << c.what;
    EXPECT_EQ(steps_.rebuilds, 0) << c.what;
  }
}

// Whatever keeps a file from opening (missing, a folder, empty, no document, cut short), the box is the
// same plain "Could not load file" / "Error", and nothing of the open document changes.
TEST_F(DocumentFileOperationsTest, AnUnreadableFileSaysSoAndKeepsTheFileRecord) {
  doc_->DocumentFile() = ppFileSpec(WidePath("mine.qxf"));
  SaveCopy("whole.qxf");
  const std::string whole = Bytes("whole.qxf");
  std::ofstream(PathOf("empty.qxf"), std::ios::binary).flush();
  std::ofstream(PathOf("noise.qxf"), std::ios::binary) << std::string(300, '\x5a');
  std::ofstream(PathOf("cut.qxf"), std::ios::binary) << whole.substr(0, whole.size() / 2);
  std::filesystem::create_directory(PathOf("folder.qxf"));
  doc_->DocumentFile() = ppFileSpec(WidePath("mine.qxf"));
  SetWide("description", u"the open document");
  doc_->MarkModified();
  for (const char* name : {"missing.qxf", "folder.qxf", "empty.qxf", "noise.qxf", "cut.qxf"}) {
    plat::ClearMessageBoxLog();
    EXPECT_FALSE(ops_->OpenDocumentFile(WidePath(name))) << name;
    const auto boxes = plat::MessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u) << name;
    EXPECT_EQ(boxes[0].text, u"Could not load file") << name;
    EXPECT_EQ(boxes[0].caption, u"Error") << name;
    EXPECT_EQ(boxes[0].owner, nullptr) << name;
    EXPECT_EQ(boxes[0].style, plat::MB_TASKMODAL | plat::MB_ICONHAND) << name;
    EXPECT_EQ(doc_->DocumentFile().path, WidePath("mine.qxf")) << name;
    EXPECT_EQ(Wide("description"), Vcon::WString(u"the open document")) << name;
    EXPECT_TRUE(doc_->IsModified()) << name;
    EXPECT_EQ(steps_.rebuilds, 0) << name;
  }
}

TEST_F(DocumentFileOperationsTest, AFailedSaveKeepsThePreviousFileReportsAndOffersSaveAs) {
  doc_->DocumentFile() = ppFileSpec(WidePath("plan.qxf"));
  ASSERT_TRUE(ops_->Save());
  const std::string before = Bytes("plan.qxf");
  SetWide("description", u"a change that cannot be written");
  doc_->MarkModified();
  plat::ClearMessageBoxLog();
  CancelNextDialog();
  Vcon::SetFileFaultHook(&FailWrites);
  EXPECT_FALSE(ops_->Save());
  Vcon::SetFileFaultHook(nullptr);
  EXPECT_TRUE(cancelled_) << "the save dialog was offered";
  EXPECT_EQ(Bytes("plan.qxf"), before);
  EXPECT_TRUE(doc_->IsModified());
  EXPECT_EQ(doc_->DocumentFile().path, WidePath("plan.qxf")) << "the cancelled dialog restores it";
  const auto boxes = plat::MessageBoxLog();
  ASSERT_GE(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"Could not save  " + std::u16string(WidePath("plan.qxf")) +
                               u". Please try to save using a different name");
  EXPECT_EQ(boxes[0].caption, u"Save file error");
  EXPECT_EQ(boxes[0].style, plat::MB_TASKMODAL | plat::MB_ICONHAND);
  EXPECT_FALSE(ops_->SaveInProgress());
}

// The file dialog hands the program its path with backslashes; the box names the file as the user's
// system writes it, with slashes, after the two blanks the message keeps.
TEST_F(DocumentFileOperationsTest, AFailedSaveNamesTheFileAsTheUsersSystemWritesIt) {
  std::string programForm = PathOf("plan.qxf");
  std::replace(programForm.begin(), programForm.end(), '/', '\\');
  doc_->DocumentFile() = ppFileSpec(Vcon::WString(programForm.c_str()));
  plat::ClearMessageBoxLog();
  CancelNextDialog();
  Vcon::SetFileFaultHook(&FailWrites);
  EXPECT_FALSE(ops_->Save());
  Vcon::SetFileFaultHook(nullptr);
  const auto boxes = plat::MessageBoxLog();
  ASSERT_GE(boxes.size(), 1u);
  EXPECT_EQ(Vcon::Utf8FromUtf16(boxes[0].text),
            "Could not save  " + PathOf("plan.qxf") + ". Please try to save using a different name");
}

TEST_F(DocumentFileOperationsTest, AutosaveWritesOnlyModifiedDocumentsOutsideSavesAndResumeBringsThemBack) {
  const fs::path autoSave = demo_->File("AutoSave.qxf");
  fs::remove(autoSave);
  ops_->WriteAutoSave();
  EXPECT_FALSE(fs::exists(autoSave)) << "unmodified";
  doc_->MarkModified();
  ops_->SetSaveInProgress(true);
  ops_->WriteAutoSave();
  EXPECT_FALSE(fs::exists(autoSave)) << "while a save runs";
  ops_->SetSaveInProgress(false);
  SetWide("description", u"not saved yet");
  ops_->WriteAutoSave();
  ASSERT_TRUE(fs::exists(autoSave)) << "created when missing";

  // Resume: modified from the flags, no file without a path.
  SetWide("description", u"something else");
  doc_->SetModified(false);
  doc_->DocumentFile().path.clear();
  ASSERT_TRUE(ops_->ResumeFromAutoSave());
  EXPECT_EQ(Wide("description"), Vcon::WString(u"not saved yet"));
  EXPECT_TRUE(doc_->IsModified());
  EXPECT_FALSE(doc_->IsSavedOnce());

  // A plain save and an opened file delete it.
  doc_->DocumentFile() = ppFileSpec(WidePath("plan.qxf"));
  ASSERT_TRUE(ops_->Save());
  EXPECT_FALSE(fs::exists(autoSave)) << "after a save";
  doc_->MarkModified();
  ops_->WriteAutoSave();
  ASSERT_TRUE(fs::exists(autoSave));
  ASSERT_TRUE(ops_->OpenDocumentFile(WidePath("plan.qxf")));
  EXPECT_FALSE(fs::exists(autoSave)) << "after an open";
  EXPECT_FALSE(ops_->ResumeFromAutoSave()) << "nothing to resume";
}

TEST_F(DocumentFileOperationsTest, TheWindowsSaveCommandAsksForANameOnlyWithoutAFile) {
  DocumentCommands commands(*ops_, *doc_);
  doc_->DocumentFile() = ppFileSpec(WidePath("plan.qxf"));
  doc_->MarkModified();
  CancelNextDialog();
  commands.Save();
  EXPECT_TRUE(cancelled_) << "no file yet: the save dialog";
  EXPECT_FALSE(fs::exists(PathOf("plan.qxf")));
  EXPECT_TRUE(doc_->IsModified());

  doc_->SetSavedOnce(true);
  commands.Save();
  EXPECT_TRUE(fs::exists(PathOf("plan.qxf")));
  EXPECT_FALSE(doc_->IsModified());
  EXPECT_TRUE(commands.AskSaveChanges()) << "unmodified: nothing to ask";

  SetWide("description", u"after the save");
  commands.OpenFile(DocumentFileRecord(WidePath("plan.qxf")));
  EXPECT_TRUE(Wide("description").empty());
}

TEST_F(DocumentFileOperationsTest, TheOrdersPackAndSaveTheSameBytesAsTheDocumentSave) {
  OrderDocument order(*ops_, *doc_, nullptr);
  SetWide("description", u"order me");
  order.DocumentFile() = ppFileSpec(WidePath("order.qxf"));
  order.SetHasFile(true);
  order.SetModified(true);
  Handle packed = order.PackForOrder();
  const std::string bytes(*packed, *packed + MemGetSize(packed));
  MemDispose(packed);
  EXPECT_EQ(bytes, Packed());
  order.SetSaveInProgress(true);
  EXPECT_TRUE(ops_->SaveInProgress());
  order.SetSaveInProgress(false);
  ASSERT_TRUE(order.Save());
  EXPECT_FALSE(order.IsModified());
  EXPECT_TRUE(order.HasFile());
  EXPECT_FALSE(Bytes("order.qxf").empty());
}

TEST_F(DocumentFileOperationsTest, TheOrderTextFileIsTheHeadLineInWindows1252ThenThePlansLines) {
  SetWide("number", u"4711");
  SetWide("costumerName", u"Åse Lund");
  SetWide("description", u"Køkken 30€ ✓");
  plat::ClearShellExecuteLog();
  OrderTextWriter writer(*doc_, steps_);
  ppFileSpec target(WidePath("order.txt"));
  std::ofstream(PathOf("order.txt")) << "an older, longer order file that must not show through";
  writer.Write(target);
  EXPECT_EQ(Bytes("order.txt"), std::string("ORDRE\t4711\t\xC5se Lund\tK\xF8kken 30\x80 ?\r\n"
                                            "MODUL\t1\r\nMODUL\t2\r\n"));
  EXPECT_EQ(writer.OrderNumber(), 4711);
  const auto shell = plat::ShellExecuteLog();
  ASSERT_EQ(shell.size(), 1u);
  EXPECT_EQ(shell[0].verb, u"open");
  EXPECT_EQ(shell[0].file, std::u16string(WidePath("order.txt")));
}

TEST_F(DocumentFileOperationsTest, SaveAsATextOrPictureExportsAndTheDocumentKeepsItsFile) {
  struct Case {
    const char16_t* name;
    int32_t view;
  } const cases[] = {{u"list.txt", 2012}, {u"view.bmp", 2024}};
  for (const Case& c : cases) {
    steps_.viewMode = c.view;
    steps_.exported.clear();
    doc_->DocumentFile() = ppFileSpec(WidePath("mine.qxf"));
    cancelled_ = false;
    AnswerNextDialog(c.name);
    EXPECT_TRUE(ops_->SaveAs());
    ASSERT_EQ(steps_.exported.size(), 1u);
    EXPECT_TRUE(steps_.exported[0].ends_with(c.name));
    EXPECT_EQ(doc_->DocumentFile().path, WidePath("mine.qxf"));
    EXPECT_FALSE(fs::exists(PathOf("mine.qxf"))) << "no document was written";
    EXPECT_FALSE(ops_->SaveInProgress());
  }
  // Cancel restores the file record and answers false.
  cancelled_ = false;
  CancelNextDialog();
  EXPECT_FALSE(ops_->SaveAs());
  EXPECT_EQ(doc_->DocumentFile().path, WidePath("mine.qxf"));
}

}  // namespace
