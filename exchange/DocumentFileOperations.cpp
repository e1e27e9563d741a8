#include "exchange/DocumentFileOperations.h"

#include <string>
#include <utility>

#include "calculation/PriceListTable.h"
#include "calculation/zelvproCalculatorFil.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/WarningQuestion.h"
#include "catalogue/records/qxApplicationFil.h"
#include "catalogue/records/zelvproDocFil.h"
#include "exchange/OrderTextWriter.h"
#include "exchange/WriteHandleToFile.h"
#include "exchange/iDocumentPlanSteps.h"
#include "foundation/FileDialogs.h"
#include "foundation/FileOperations.h"
#include "foundation/PosixPath.h"
#include "foundation/ResourceAccess.h"
#include "foundation/TextsById.h"
#include "platform/MessageBox.h"

namespace {

constexpr uint32_t kStopBox = plat::MB_TASKMODAL | plat::MB_ICONHAND;

// Frees a handle on every way out.
class ScopedHandle {
 public:
  explicit ScopedHandle(Handle h) : h_(h) {}
  ~ScopedHandle() { MemDispose(h_); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  Handle Get() const { return h_; }

 private:
  Handle h_;
};

Handle NewEmptyHandle() {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, 0);
  return h;
}

// The lower-case extension of `path` (after its last dot beyond its last backslash or slash).
Vcon::WString ExtensionOf(const Vcon::WString& path) {
  const size_t dot = path.find_last_of(u'.');
  const size_t folder = path.find_last_of(u"\\/");
  if (dot == Vcon::WString::npos || (folder != Vcon::WString::npos && dot < folder)) return {};
  Vcon::WString extension;
  for (size_t i = dot + 1; i < path.size(); ++i) {
    const char16_t c = path[i];
    extension.push_back(c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c);
  }
  return extension;
}

// `path` with its extension (or, without one, its end) made ".txt"; empty stays empty.
Vcon::WString WithTextExtension(const Vcon::WString& path) {
  if (path.empty()) return path;
  const size_t dot = path.find_last_of(u'.');
  const size_t folder = path.find_last_of(u"\\/");
  const bool named = dot != Vcon::WString::npos && (folder == Vcon::WString::npos || dot > folder);
  Vcon::WString text = path;
  if (named) text.resize(dot);
  text += u".txt";
  return text;
}

// "Could not save  <path>. Please try to save using a different name" / "Save file error". Two blanks
// after "Could not save": the text keeps its own trailing blank and one is added.
void ShowSaveFailure(const Vcon::WString& path) {
  Vcon::WString text = TextById(DocumentFileOperations::kSaveFailedText, "Could not save ");
  text += u" ";
  text += Vcon::WString(Vcon::SlashedPath(std::u16string_view(path)));
  text += TextById(DocumentFileOperations::kSaveFailedAdvice, ". Please try to save using a different name");
  const Vcon::WString title = TextById(DocumentFileOperations::kSaveFailedTitle, "Save file error");
  plat::MessageBoxW(nullptr, text.c_str(), title.c_str(), kStopBox);
}

// "Could not load file" / "Error": a file that cannot be read, is empty, is no document or is damaged.
void ShowLoadFailure() { plat::MessageBoxA(nullptr, "Could not load file", "Error", kStopBox); }

// The document's field that keeps the price list lines the user added; null in a layout without it.
Handle UserLinesField(zelvproDocFil& document) {
  return RecordField(document, "calculation").Data(document.Record());
}

}  // namespace

DocumentFileOperations::DocumentFileOperations(zelvproDocFil& document, iDocumentPlanSteps& steps)
    : document_(document), steps_(steps) {}

void DocumentFileOperations::PrepareForSave(Handle into) {
  steps_.RemoveGeneratedElements();
  steps_.SaveTrees(document_);
  char* record = document_.Record();
  if (ApplicationRecordFile != nullptr && ApplicationRecord != nullptr) {
    for (const char* name : {"appSignature", "appVersion"})
      RecordField(document_, name)
          .SetText(record, RecordField(*ApplicationRecordFile, name).Text(ApplicationRecord));
  }
  RecordField(document_, "version").SetLong(record, kCurrentVersion);
  document_.StoreStateFlags();
  RecordField(document_, "lastDirectory").SetWideText(record, lastDirectory_);
  RecordField(document_, "lastView").SetLong(record, steps_.ViewMode());
  // Without a price list the field keeps the lines the document came with.
  if (zelvproCalculatorFil* lines = PriceListTable())
    if (Handle kept = UserLinesField(document_)) lines->PackUserLines(kept);
  document_.PrepareForPacking();
  RecordField(document_, "xmlExport").SetWideText(record, BuildShoppingListXml(clock_));
  MemSetSize(into, 0);
  document_.PackRecord(nullptr, into);
}

void DocumentFileOperations::PackWithViewValues(Handle into) {
  DocumentPlanScales scales;
  steps_.ViewValues(scales.horizontal, scales.vertical);
  document_.SetPlanScales(scales);
  PrepareForSave(into);
}

void DocumentFileOperations::WriteFile(ppFileSpec& file) {
  const bool saving = saveInProgress_;
  saveInProgress_ = false;
  struct Restore {
    bool& flag;
    bool value;
    ~Restore() { flag = value; }
  } restore{saveInProgress_, saving};
  ScopedHandle packed(NewEmptyHandle());
  PackWithViewValues(packed.Get());
  WriteHandleToFile(file, packed.Get());
  document_.DeleteAutoSaveFile();
}

bool DocumentFileOperations::Save() {
  try {
    WriteFile(document_.DocumentFile());
  } catch (int32_t) {
    return ReportSaveFailure(document_.DocumentFile().path);
  }
  document_.SetSavedOnce(true);
  document_.SetModified(false);
  return true;
}

bool DocumentFileOperations::ReportSaveFailure(const Vcon::WString& path) {
  ShowSaveFailure(path);
  return SaveAs();
}

bool DocumentFileOperations::SaveAs() {
  saveInProgress_ = true;
  const ppFileSpec kept = document_.DocumentFile();
  ppFileSpec chosen = kept;
  chosen.filter =
      steps_.ViewMode() == kCalculationView
          ? TextById(kSaveFilterCalculation,
                     "Zelvo Pro files {*.qxf}\\0*.qxf\\0Text files {*.txt}\\0*.txt\\0\\0")
          : TextById(kSaveFilter, "Zelvo Pro files {*.qxf}\\0*.qxf\\0Bitmap files {*.bmp}\\0*.bmp\\0\\0");
  chosen.name = u"qxf";
  StartDialogsInLastDirectory();
  if (!RunSaveFileDialog(chosen)) {
    document_.DocumentFile() = kept;
    saveInProgress_ = false;
    return false;
  }
  DirectoryOfPath(Vcon::WString(), lastDirectory_ = chosen.path);
  const Vcon::WString extension = ExtensionOf(chosen.path);
  if (extension == u"bmp" || extension == u"txt") {
    try {
      if (extension == u"bmp")
        steps_.ExportPicture(chosen);
      else
        steps_.ExportArticleList(chosen);
    } catch (int32_t) {
      ShowSaveFailure(chosen.path);
    }
    document_.DocumentFile() = kept;
  } else {
    document_.DocumentFile().path = chosen.path;
    Save();
  }
  saveInProgress_ = false;
  return true;
}

bool DocumentFileOperations::CheckVersion(int32_t version) {
  return version >= 0 && version <= kCurrentVersion;
}

bool DocumentFileOperations::Load(Handle packed) {
  loading_ = true;
  struct ClearLoading {
    bool& flag;
    ~ClearLoading() { flag = false; }
  } clear{loading_};
  // The record file judges signature and version before anything of the file reaches the record, and
  // upgrades versions 0 and 1; its view-point hook runs last.
  const zelvproDocFil::UnpackResult judged = document_.Unpack(packed);
  if (judged == zelvproDocFil::UnpackResult::kNotADocument) throw kNotADocumentError;
  if (judged != zelvproDocFil::UnpackResult::kAccepted) {
    const Vcon::WString text =
        TextById(kForeignFileText, "The file to open is not created by this application");
    const Vcon::WString title = TextById(kForeignFileTitle, "File error");
    plat::MessageBoxW(steps_.OwnerWindow(), text.c_str(), title.c_str(), kStopBox);
    return false;
  }
  char* record = document_.Record();
  steps_.RebuildFromTables(document_);
  // The rebuild emptied the price list; the user's own lines come back from the document, and the
  // next rebuild from the plan puts the plan's lines around them.
  if (zelvproCalculatorFil* lines = PriceListTable()) {
    if (Handle kept = UserLinesField(document_); kept != nullptr && lines->AppendUserLines(kept) > 0)
      lines->ShowLastLine();
  }
  const DocumentPlanScales scales = document_.PlanScales();
  steps_.SetViewValues(scales.horizontal, scales.vertical);
  const RecordField stationery(document_, "stationery");
  if (stationery.Long(record) != 0) {
    document_.SetSavedOnce(false);
    stationery.SetLong(record, 0);
  } else {
    document_.SetSavedOnce(true);
  }
  document_.SetModified(false);
  steps_.AfterLoad(RecordField(document_, "lastView").Long(record));
  return true;
}

bool DocumentFileOperations::OpenDocumentFile(const Vcon::WString& path) {
  const ppFileSpec kept = document_.DocumentFile();
  const auto refuse = [&] {
    document_.DocumentFile() = kept;
    ShowLoadFailure();
    return false;
  };
  Handle bytes = nullptr;
  try {
    bytes = ReadFileToHandle(ppFileSpec(path));
  } catch (int32_t) {
    return refuse();
  }
  ScopedHandle packed(bytes);
  if (packed.Get() == nullptr || MemGetSize(packed.Get()) == 0) return refuse();
  document_.DocumentFile().path = path;
  bool loaded = false;
  try {
    loaded = Load(packed.Get());
  } catch (int32_t) {
    return refuse();  // no document, or a damaged one: refused before the open plan changed
  }
  if (!loaded) {
    document_.DocumentFile() = kept;
    return false;
  }
  steps_.ResetRulers();
  document_.DeleteAutoSaveFile();
  return true;
}

bool DocumentFileOperations::AskSaveChanges() {
  if (!document_.IsModified()) return true;
  switch (ShowWarningQuestion()) {
    case 6:  // Yes
      if (document_.IsSavedOnce()) return Save();
      return SaveAs();
    case 7:  // No
      return true;
    default:
      return false;
  }
}

// A dialog with no folder of its own from this run (the first one, or one after a cancelled save)
// starts where the document's files were last chosen, as the start-up read it from the autosave; the
// dialog itself falls back to the user's documents when that is empty or gone.
void DocumentFileOperations::StartDialogsInLastDirectory() const {
  if (LastDialogFolder.empty()) LastDialogFolder = lastDirectory_;
}

bool DocumentFileOperations::OpenWithDialog() {
  if (!AskSaveChanges()) return false;
  ppFileSpec chosen = document_.DocumentFile();
  chosen.filter = TextById(kOpenFilter, "Zelvo Pro files {*.qxf}\\0*.qxf\\0\\0");
  chosen.name = u"qxf";
  chosen.owner = 0;
  StartDialogsInLastDirectory();
  if (!RunOpenFileDialog(chosen)) return false;
  return OpenDocumentFile(chosen.path);
}

bool DocumentFileOperations::NewDocument() {
  if (!AskSaveChanges()) return false;
  Vcon::WString stationeryPath;
  GetStringArrayText(stationeryPath, kSettingsFileList, kNewDocumentEntry);
  bool read = false;
  try {
    ScopedHandle packed(ReadFileToHandleIfPresent(ppFileSpec(stationeryPath)));
    if (packed.Get() != nullptr) {
      read = true;
      if (Load(packed.Get())) {
        document_.SetSavedOnce(false);
        document_.SetModified(false);
      }
    }
  } catch (int32_t) {
    read = false;
  }
  if (!read) {
    // No stationery: the empty document.
    document_.ClearRecordBuffer(nullptr);
    steps_.RemoveGeneratedElements();
    steps_.RebuildFromTables(document_);
    // As after a load: the side panel, which may show a unit of the plan just deleted, becomes the
    // view's own again, and the empty room and price list are brought up to date.
    steps_.AfterLoad(0);
    document_.SetSavedOnce(false);
    document_.SetModified(false);
  }
  document_.DocumentFile().path.clear();
  document_.DeleteAutoSaveFile();
  return true;
}

void DocumentFileOperations::WriteAutoSave() {
  if (saveInProgress_ || !document_.IsModified()) return;
  ScopedHandle packed(NewEmptyHandle());
  try {
    PrepareForSave(packed.Get());
    WriteHandleToFile(document_.AutoSaveFile(), packed.Get());
  } catch (int32_t) {
    // The previous autosave file stays whole; the next round tries again.
  }
}

bool DocumentFileOperations::ResumeFromAutoSave() {
  Handle packed = nullptr;
  try {
    packed = ReadFileToHandle(document_.AutoSaveFile());
  } catch (int32_t) {
    return false;
  }
  ScopedHandle kept(packed);
  return packed != nullptr && ResumeFrom(packed);
}

void DocumentFileOperations::StartWithoutCommandLine() {
  Handle packed = nullptr;
  try {
    packed = ReadFileToHandleIfPresent(document_.AutoSaveFile());
  } catch (int32_t) {
    packed = nullptr;
  }
  ScopedHandle kept(packed);
  if (packed == nullptr) {
    NewDocument();
    return;
  }
  // An autosave that cannot be loaded stays on disk: it may be all that is left of the last session.
  ResumeFrom(packed);
}

bool DocumentFileOperations::ResumeFrom(Handle packed) {
  try {
    if (!Load(packed)) return false;
  } catch (int32_t) {
    return false;
  }
  char* record = document_.Record();
  lastDirectory_ = RecordField(document_, "lastDirectory").WideText(record);
  const int32_t flags = RecordField(document_, "flags").Long(record);
  document_.SetSavedOnce((flags & zelvproDocFil::kSavedOnceFlag) != 0 &&
                         !document_.DocumentFile().path.empty());
  document_.SetModified((flags & zelvproDocFil::kModifiedFlag) != 0);
  steps_.ResetRulers();
  return true;
}

Handle DocumentFileOperations::LoadFromFile(Handle packed) {
  if (packed == nullptr) return nullptr;
  Handle before = NewEmptyHandle();
  try {
    steps_.SaveTrees(document_);
    char* record = document_.Record();
    RecordField(document_, "version").SetLong(record, kCurrentVersion);
    RecordField(document_, "lastDirectory").SetWideText(record, lastDirectory_);
    document_.PackRecord(nullptr, before);
    const zelvproDocFil::UnpackResult judged = document_.Unpack(packed);
    if (judged == zelvproDocFil::UnpackResult::kNotADocument) throw kNotADocumentError;
    if (judged != zelvproDocFil::UnpackResult::kAccepted) {
      MemDispose(before);
      return nullptr;
    }
  } catch (int32_t) {
    MemDispose(before);
    return nullptr;
  }
  char* record = document_.Record();
  steps_.RebuildRoomFromTable(document_);
  const DocumentPlanScales scales = document_.PlanScales();
  steps_.SetViewValues(scales.horizontal, scales.vertical);
  steps_.AfterRoomLoad(RecordField(document_, "lastView").Long(record));
  return before;
}

bool DocumentFileOperations::ExportOrderText() {
  ppFileSpec chosen = document_.DocumentFile();
  // The dialog proposes the plan's name as a text file: the plan's own file there would take the
  // order over the plan at one press of Enter and a Yes.
  chosen.path = WithTextExtension(chosen.path);
  chosen.filter = Vcon::WString(u"Text files {*.txt}\\0*.txt\\0\\0");
  chosen.name = u"txt";
  StartDialogsInLastDirectory();
  if (!RunSaveFileDialog(chosen)) return false;
  try {
    OrderTextWriter writer(document_, steps_);
    writer.Write(chosen);
  } catch (int32_t) {
    ShowSaveFailure(chosen.path);
    return false;
  }
  return true;
}
