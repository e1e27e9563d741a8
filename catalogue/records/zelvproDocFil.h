// The record file of the open document: the one "qxDocument" record in its buffer, the five tables
// kept in blobs of that record (the tags and the "room", "furniture", "annotation" and "calcElements"
// plans), the document's file and the autosave file, the modified and saved-once flags, the
// autosave thread and the handler of the server delete request (message 1030 on channel 1000).
//
// A document file is this record packed, nothing else. This class owns the format steps around the
// packing: the plan scales (DocumentPlanScales), the state flags, the signature and version tests
// and the upgrade of versions 0 and 1; Unpack refuses a file without touching the open document.
//
// There is one per run (DocumentRecordFile names it), bound to the main catalogue when there is one,
// else to the application database (DatabaseToBind). While it exists it is the document price
// settings of the foundation. The tables are made once on the blob handles the record buffer holds
// and stay bound to them: opening replaces the blobs' bytes in place. User-interface thread only,
// apart from the autosave thread it starts.
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/records/AutoSaveThread.h"
#include "catalogue/records/DocumentPlanScales.h"
#include "catalogue/records/RecordField.h"
#include "database/ppDatafile.h"
#include "foundation/FileRecord.h"
#include "foundation/iDocumentPriceSettings.h"
#include "framework/ppCollaborator.h"
#include "catalogue/records/iDocumentViewPoints.h"

class iAutoSaveWaiter;
class iServerDeleteService;
class ppWindow;
class zelvproDocModuleFil;
class zelvproTagFil;
struct ServerDeleteRequest;

class zelvproDocFil : public ppDatafile, public ppCollaborator, public iDocumentPriceSettings {
 public:
  static constexpr const char* kLayout = "qxDocument";
  static constexpr int32_t kCurrentVersion = 2;
  // "flags": bit values of the state at the moment of packing.
  static constexpr int32_t kSavedOnceFlag = 1, kModifiedFlag = 2;
  // The switchboard message of a server delete request, its alert and its failure text.
  static constexpr int32_t kDocumentChannel = 1000, kDeleteMessage = 1030;
  static constexpr int32_t kDeleteAlert = 7423, kDeleteRefused = 7603;
  // Entry of the settings file list (STRINGARRAY 132) naming the autosave file.
  static constexpr int32_t kAutoSaveFileEntry = 22;

  enum class UnpackResult {
    kAccepted,
    kForeignSignature,  // "The file to open is not created by this application"
    kUnknownVersion,    // a version above 2 (or below 0): written by a later program
    kNotADocument,      // the bytes do not begin as a packed record: another kind of file
  };
  // The farthest a plan's coordinate or size may lie from the origin (millimetres): ten kilometres.
  static constexpr double kFarthestCoordinate = 1.0e7;

  // The main catalogue when one is open, else the application database; db::kBadCall with neither.
  static ppDatabase& DatabaseToBind();

  explicit zelvproDocFil(ppDatabase& database);
  ~zelvproDocFil() override;
  zelvproDocFil(const zelvproDocFil&) = delete;
  zelvproDocFil& operator=(const zelvproDocFil&) = delete;

  // ---- State.
  char* Record() const { return record_; }
  bool IsModified() const { return modified_; }
  void MarkModified() { modified_ = true; }
  void SetModified(bool modified) { modified_ = modified; }
  bool IsSavedOnce() const { return savedOnce_; }
  void SetSavedOnce(bool savedOnce) { savedOnce_ = savedOnce; }
  ppFileSpec& DocumentFile() { return documentFile_; }
  ppFileSpec& AutoSaveFile() { return autoSaveFile_; }

  // ---- Tables.
  zelvproTagFil& TagTable() const { return *tags_; }
  zelvproDocModuleFil& RoomTable() const { return *room_; }
  zelvproDocModuleFil& FurnitureTable() const { return *furniture_; }
  zelvproDocModuleFil& AnnotationTable() const { return *annotation_; }
  zelvproDocModuleFil& CalcElementsTable() const { return *calcElements_; }
  // Writes the tag table into the "tags" blob and answers a new tag table over it, loaded; the
  // caller owns it.
  std::unique_ptr<zelvproTagFil> ReopenTagTable();

  // ---- Format steps of saving and opening.
  DocumentPlanScales PlanScales() const;
  void SetPlanScales(const DocumentPlanScales& scales);
  // "flags" from the saved-once and modified flags.
  void StoreStateFlags();
  // Unpacks a document file's bytes into the record, then brings versions 0 and 1 up to 2. A file
  // whose signature is set and differs from `runningSignature`, whose version this program does not
  // know, or that is no packed record at all, is refused and the record keeps the open document; so
  // is a damaged file (cut short, without its end mark, with a damaged plan table or a plan
  // coordinate that is not a number or lies beyond kFarthestCoordinate), whose error number
  // (db::kDamagedFile) is thrown.
  UnpackResult Unpack(Handle file, const Vcon::String& runningSignature);
  // The same against the application record's "appSignature".
  UnpackResult Unpack(Handle file);
  // Version 0: the room and furniture plans' snap entries grow from 7 to 9 words and their
  // "yposition" and "zposition" change places. Versions 0 and 1: the ten narrow texts fill their wide
  // twins. The version becomes 2.
  void ConvertOldDocument(int32_t version);
  // The signature of the running program (the application record's "appSignature"; empty without
  // one).
  static Vcon::String RunningSignature();
  // The 3D view's step around opening and packing (not owned; null: the neutral one). An accepted
  // Unpack runs its AfterOpen last; whoever packs the record calls PrepareForPacking first.
  void SetViewPoints(iDocumentViewPoints* viewPoints) { viewPoints_ = viewPoints; }
  iDocumentViewPoints* ViewPoints() const { return viewPoints_; }
  void PrepareForPacking();

  // ---- Autosave.
  // Starts the autosave thread for the document window (which must outlive it) and the frame; a
  // running one is stopped first. `waiter` null: the thread sleeps on itself.
  void StartAutoSaveThread(ppWindow& documentWindow, plat::HWND frame, iAutoSaveWaiter* waiter = nullptr);
  // Stops the thread, whatever the state word says, and returns once it has gone; the state is then
  // 0. Nothing without a thread.
  void StopAutoSaveThread();
  // Deletes the autosave file; every failure, a missing file included, is ignored.
  void DeleteAutoSaveFile();

  // ---- Server exchange.
  // The exchange that the delete handler uses; not owned (null: delete requests stay untouched).
  void SetServerDeleteService(iServerDeleteService* service) { serverDelete_ = service; }
  iServerDeleteService* ServerDeleteService() const { return serverDelete_; }
  void ReceiveMessage(ppCollaborator* sender, int32_t channel, int32_t id, intptr_t parameter) override;
  // Asks, sends the delete request and fills in the outcome (see ServerDeleteRequest).
  void HandleServerDeleteRequest(ServerDeleteRequest& request);

  // ---- Document price settings (fields "useDocumentFactors" to "roundto").
  bool HasOwnPriceSettings() const override;
  double ExchangeFactor() const override;
  double ProfitFactor() const override;
  uint32_t RoundingMode() const override;
  int64_t RoundingStepRaw() const override;

 private:
  // The blob the record buffer holds in `field`; db::kBadCall when the layout has no such blob.
  Handle Blob(const RecordField& field) const;
  void ConvertPlanOfVersion0(zelvproDocModuleFil& plan);
  // db::kDamagedFile unless every plan table of `record` reads and holds only sane coordinates.
  void CheckPlanTables(const char* record);
  void WidenLegacyTexts();

  char* const record_;
  bool modified_ = false;
  bool savedOnce_ = false;
  ppFileSpec documentFile_;
  ppFileSpec autoSaveFile_;
  std::unique_ptr<zelvproTagFil> tags_;
  std::unique_ptr<zelvproDocModuleFil> room_, furniture_, annotation_, calcElements_;
  RecordField version_, flags_, signature_;
  RecordField useDocumentFactors_, exchangeFactor_, profitFactor_, rounding_, roundTo_;

  iDocumentViewPoints* viewPoints_ = nullptr;
  AutoSaveThread* autoSaveThread_ = nullptr;  // deletes itself once stopped
  std::shared_ptr<AutoSaveThread::Finished> autoSaveFinished_;
  iAutoSaveWaiter* autoSaveWaiter_ = nullptr;

  iServerDeleteService* serverDelete_ = nullptr;
};

// The document record file of the run while it exists, else null. Not owned. User-interface thread
// only.
extern zelvproDocFil* DocumentRecordFile;
