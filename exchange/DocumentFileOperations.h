// The local document file operations of the open document: packing it for a save (the shopping
// list included), the plain save and save as, the save failure report, loading with the signature and
// version checks, and opening a file by path. Works over the document record file and the plan's
// steps (iDocumentPlanSteps), neither owned; both must outlive it.
//
// Saving writes through WriteHandleToFile, so a failed save keeps the previous file whole. A load
// that the record file refuses (another program's signature, or a version newer than 2) shows
// "The file to open is not created by this application" / "File error" and leaves the open
// document, its record and its file record as they were. User-interface thread only.
#pragma once

#include <cstdint>

#include "calculation/ShoppingListXml.h"
#include "foundation/FileRecord.h"
#include "foundation/Vcon_HandleManager.h"
#include "foundation/VconString.h"
#include "room/iDocumentLoader.h"

class iDocumentPlanSteps;
class zelvproDocFil;

class DocumentFileOperations : public iDocumentLoader {
 public:
  static constexpr int32_t kCurrentVersion = 2;
  static constexpr int32_t kCalculationView = 2012, k3DView = 2024;
  static constexpr int32_t kForeignFileText = 6260, kForeignFileTitle = 6261;
  static constexpr int32_t kSaveFailedText = 6270, kSaveFailedAdvice = 6271, kSaveFailedTitle = 6272;
  static constexpr int32_t kSaveFilter = 5130, kSaveFilterCalculation = 5132;
  static constexpr int32_t kOpenFilter = 5123, kNewDocumentEntry = 14;
  static constexpr uint16_t kSettingsFileList = 132;  // STRINGARRAY of the settings files
  // Thrown by Load for bytes that are no document at all (a file of another kind).
  static constexpr int32_t kNotADocumentError = -1001;

  DocumentFileOperations(zelvproDocFil& document, iDocumentPlanSteps& steps);

  // The clock the shopping list is stamped with (empty: local time).
  void SetClock(ShoppingListClock clock) { clock_ = std::move(clock); }

  // Fills the record for saving (steps 1-7) and packs it into `into` (its data replaced).
  void PrepareForSave(Handle into);
  // Stores the editor's view values in the record, then PrepareForSave: the bytes a saved file or a
  // server upload holds.
  void PackWithViewValues(Handle into);
  // Packs the document, view values included, and writes it as the whole file `file` names; the
  // autosave file is deleted afterwards. File errors pass on; the previous file is then unchanged.
  void WriteFile(ppFileSpec& file);
  // WriteFile to the document's file; afterwards it has a file and is unmodified. A file error runs
  // ReportSaveFailure instead. Answers whether the document's file was written.
  bool Save();
  // The save dialog; "bmp" and "txt" export a picture or the article list and keep the document's
  // own file, anything else saves the document there. False when cancelled (the file record is
  // restored).
  bool SaveAs();
  // "Could not save  <path>. Please try to save using a different name" / "Save file error", then
  // SaveAs. Answers SaveAs's result.
  bool ReportSaveFailure(const Vcon::WString& path);

  // Loads a packed document (steps 1-10). False, with the file error box, when the record file
  // refused it; the document is then untouched. Bytes that are no document throw
  // kNotADocumentError, damaged ones db::kDamagedFile, both before the document changes.
  bool Load(Handle packed);
  // Whether this program reads `version` (0 to 2).
  static bool CheckVersion(int32_t version);
  // Reads and loads the file `path` names. A file that cannot be read, is empty, is no document or is
  // damaged gives one box "Could not load file" / "Error" (no owner window); then, as after a refused
  // load, the open document and its file record stay as they were. Answers whether it loaded.
  bool OpenDocumentFile(const Vcon::WString& path);

  // The Yes/No/Cancel question when the document is modified: Yes saves (save as without a file, whose
  // cancel counts as Cancel). False when the caller must stop.
  bool AskSaveChanges();
  // Asks, then the open dialog, then OpenDocumentFile. False when cancelled or not loaded.
  bool OpenWithDialog();
  // Asks, then loads ".\user\new.qxf" untitled, or makes an empty document when it cannot be read;
  // the document then has no path and the autosave file is deleted. False when the user cancelled.
  bool NewDocument();
  // Writes the packed document over the autosave file (created when missing) when the document is
  // modified and no save runs. File errors are swallowed: the next autosave tries again.
  void WriteAutoSave();
  // Loads the autosave file when there is one: modified from the saved flags, has-file only when
  // the flags say so and the document names a path. Answers whether it loaded.
  bool ResumeFromAutoSave();
  // The start without a document named: the autosaved document when there is an autosave file, else
  // the new document (NewDocument). An autosave file that does not load is left on disk.
  void StartWithoutCommandLine();

  // The room's loader (room templates are whole packed documents): packs the open document into a
  // new handle (the caller's), unpacks `packed` and rebuilds only the room canvas from it. Null, with
  // the document unchanged, when `packed` is refused or damaged.
  Handle LoadFromFile(Handle packed) override;

  // The save dialog for a text file, then the order text file (OrderTextWriter) there. A file error
  // shows the save failure message. False when cancelled or not written.
  bool ExportOrderText();

  bool SaveInProgress() const { return saveInProgress_; }
  void SetSaveInProgress(bool saving) { saveInProgress_ = saving; }
  bool Loading() const { return loading_; }
  const Vcon::WString& LastDirectory() const { return lastDirectory_; }
  void SetLastDirectory(const Vcon::WString& folder) { lastDirectory_ = folder; }

 private:
  bool ResumeFrom(Handle packed);
  void StartDialogsInLastDirectory() const;

  zelvproDocFil& document_;
  iDocumentPlanSteps& steps_;
  ShoppingListClock clock_;
  bool saveInProgress_ = false;  // keeps the autosave away
  bool loading_ = false;
  Vcon::WString lastDirectory_;  // folder of the file last chosen in a save dialog
};
