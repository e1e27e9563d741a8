#include "catalogue/records/zelvproDocFil.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/ServerDeleteRequest.h"
#include "catalogue/records/iAutoSaveWaiter.h"
#include "catalogue/records/iServerDeleteService.h"
#include "catalogue/records/qxApplicationFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "catalogue/records/zelvproTagFil.h"
#include "database/dbBytes.h"
#include "database/dbErrors.h"
#include "database/dbRecordPacking.h"
#include "database/dbDatafile.h"
#include "database/dbRecordLayout.h"
#include "foundation/ppParameter.h"
#include "foundation/FileOperations.h"
#include "foundation/PosixPath.h"
#include "foundation/PriceRounding.h"
#include "foundation/ResourceAccess.h"
#include "foundation/ServerReplyIdText.h"
#include "foundation/ppMoney.h"
#include "platform/ResetList.h"
#include "database/ScopedRecordBuffer.h"
#include "foundation/HandleRoom.h"

zelvproDocFil* DocumentRecordFile = nullptr;

namespace {
// Not owned: the application owns the document record file.
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("document record file", [] { DocumentRecordFile = nullptr; });
}  // namespace

namespace {

constexpr uint16_t kSettingsFiles = 132;
constexpr uint32_t kOldSnapWords = 7, kSnapWords = 9;

// Judging a file makes records of the program's own whose handle fields start empty, by MemNew, which
// ends the program when the zone is full. A file read into a zone that cannot also give `handles`
// empty handles (a block header each) from one free block is refused as damaged instead.
void RequireRoomForEmptyHandles(int32_t handles) {
  if (!MemCanHold(16u * uint32_t(handles))) db::Fail(db::kDamagedFile);
}

// False only when the file surely does not exist (its name, or its folder, is missing); a file that
// cannot be looked at may exist.
bool MayExist(const ppFileSpec& file) {
  struct stat status;
  return ::lstat(Vcon::ResolvePosixPath(std::u16string_view(file.path)).c_str(), &status) == 0 ||
         (errno != ENOENT && errno != ENOTDIR);
}

// The narrow fields of versions 0 and 1 and the wide fields that replace them.
constexpr std::pair<const char*, const char*> kLegacyTexts[] = {
    {"_number", "number"},
    {"_revisonNumber", "revisonNumber"},
    {"_description", "description"},
    {"_costumerName", "costumerName"},
    {"_costumerRef", "costumerRef"},
    {"_costumerAddress", "costumerAddress"},
    {"_costumerCity", "costumerCity"},
    {"_costumerPhone", "costumerPhone"},
    {"_OriginalPath", "OriginalPath"},
    {"_lastDirectory", "lastDirectory"},
};

// Snap entries of 7 words {a, b, c, d, e, f, g} become {a, b, 0, c, d, e, f, 0, 0}; bytes after the
// last whole entry are dropped.
void WidenSnapEntries(Handle snaps) {
  const uint32_t entries = uint32_t(MemGetSize(snaps)) / (kOldSnapWords * 4);
  std::vector<int32_t> old(entries * kOldSnapWords);
  if (!old.empty()) std::memcpy(old.data(), *snaps, old.size() * 4);
  std::vector<int32_t> wide(entries * kSnapWords, 0);
  for (uint32_t e = 0; e < entries; ++e) {
    const int32_t* from = &old[e * kOldSnapWords];
    int32_t* to = &wide[e * kSnapWords];
    to[0] = from[0];
    to[1] = from[1];
    for (uint32_t w = 2; w < 6; ++w) to[w + 1] = from[w];
  }
  MemSetSize(snaps, uint32_t(wide.size() * 4));
  if (!wide.empty()) std::memcpy(*snaps, wide.data(), wide.size() * 4);
}

}  // namespace

ppDatabase& zelvproDocFil::DatabaseToBind() {
  if (MainCatalogDatabase != nullptr) return *MainCatalogDatabase;
  if (ApplicationRecordFile != nullptr) return ApplicationRecordFile->Database();
  db::Fail(db::kBadCall);
}

zelvproDocFil::zelvproDocFil(ppDatabase& database)
    : ppDatafile(kLayout, database), record_(GetRecordBuffer()) {
  RecordField tags, room, furniture, annotation, calcElements;
  RecordField::Bind(*this, {{version_, "version"},
                            {flags_, "flags"},
                            {signature_, "appSignature"},
                            {useDocumentFactors_, "useDocumentFactors"},
                            {exchangeFactor_, "exchangeFactor"},
                            {profitFactor_, "profitFactor"},
                            {rounding_, "rounding"},
                            {roundTo_, "roundto"},
                            {tags, "tags"},
                            {room, "room"},
                            {furniture, "furniture"},
                            {annotation, "annotation"},
                            {calcElements, "calcElements"}});
  Subscribe(kDocumentChannel, kDeleteMessage);
  tags_ = std::make_unique<zelvproTagFil>(database, Blob(tags));
  room_ = std::make_unique<zelvproDocModuleFil>(database, Blob(room));
  furniture_ = std::make_unique<zelvproDocModuleFil>(database, Blob(furniture));
  annotation_ = std::make_unique<zelvproDocModuleFil>(database, Blob(annotation));
  calcElements_ = std::make_unique<zelvproDocModuleFil>(database, Blob(calcElements));
  ClearRecordBuffer(nullptr);
  Vcon::WString autoSavePath;
  GetStringArrayText(autoSavePath, kSettingsFiles, kAutoSaveFileEntry);
  autoSaveFile_ = ppFileSpec(autoSavePath);
  DocumentRecordFile = this;
  SetCurrentDocumentPriceSettings(this);
}

zelvproDocFil::~zelvproDocFil() {
  StopAutoSaveThread();
  if (CurrentDocumentPriceSettings() == this) SetCurrentDocumentPriceSettings(nullptr);
  if (DocumentRecordFile == this) DocumentRecordFile = nullptr;
}

Handle zelvproDocFil::Blob(const RecordField& field) const {
  Handle blob = field.Data(record_);
  if (blob == nullptr) db::Fail(db::kBadCall);  // a "qxDocument" layout without that blob
  return blob;
}

std::unique_ptr<zelvproTagFil> zelvproDocFil::ReopenTagTable() {
  tags_->SaveToBlob();
  auto fresh = std::make_unique<zelvproTagFil>(Database(), tags_->Blob());
  fresh->BeginAccess();
  return fresh;
}

// ---- format steps ---------------------------------------------------------------------------------

DocumentPlanScales zelvproDocFil::PlanScales() const {
  return DocumentPlanScales::Read(DocumentPlanScales::Bytes(*this, record_));
}

void zelvproDocFil::SetPlanScales(const DocumentPlanScales& scales) {
  DocumentPlanScales::Payload bytes = DocumentPlanScales::Bytes(*this, record_);
  scales.Store(bytes);
  DocumentPlanScales::SetBytes(*this, record_, bytes);
}

void zelvproDocFil::StoreStateFlags() {
  flags_.SetLong(record_, (savedOnce_ ? kSavedOnceFlag : 0) | (modified_ ? kModifiedFlag : 0));
}

Vcon::String zelvproDocFil::RunningSignature() {
  if (ApplicationRecordFile == nullptr || ApplicationRecord == nullptr) return Vcon::String();
  return RecordField(*ApplicationRecordFile, "appSignature").Text(ApplicationRecord);
}

zelvproDocFil::UnpackResult zelvproDocFil::Unpack(Handle file) { return Unpack(file, RunningSignature()); }

zelvproDocFil::UnpackResult zelvproDocFil::Unpack(Handle file, const Vcon::String& runningSignature) {
  if (file == nullptr) db::Fail(db::kBadCall);
  // The whole file is read and judged beside the record first: a refused or damaged file must not
  // leave half of itself in the open document.
  const auto size = uint32_t(MemGetSize(file));
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(*file);
  // A packed record begins with a field number of its layout or with its end mark.
  const int32_t first = size >= 4 ? db::GetI32(bytes, 0) : 0;
  if (size < 4 || (first != db::kEndTag && uint32_t(first) >= uint32_t(File().Layout().FieldCount())))
    return UnpackResult::kNotADocument;
  int32_t version = 0;
  uint32_t end = 0;
  RequireRoomForEmptyHandles(FieldCount());  // the candidate's fields, at most one handle each
  {
    ScopedRecordBuffer<ppDatafile> candidate(*this);
    MemLock(file);
    // Making the candidate's handles may have compacted a full zone and moved the unlocked file.
    bytes = reinterpret_cast<const uint8_t*>(*file);
    try {
      end = File().Layout().Unpack(candidate.Get(), bytes, size);
    } catch (...) {
      MemUnlock(file);
      throw;
    }
    MemUnlock(file);
    // The fields end with the end mark: a file cut short at a field's edge lacks it.
    end = (end + 3) & ~3u;
    if (end > size || size - end < 4 || db::GetI32(bytes, end) != db::kEndTag) db::Fail(db::kDamagedFile);
    CheckPlanTables(candidate.Get());
    const Vcon::String signature = signature_.Text(candidate.Get());
    if (!signature.empty() && signature != runningSignature) return UnpackResult::kForeignSignature;
    version = version_.Long(candidate.Get());
    if (version < 0 || version > kCurrentVersion) return UnpackResult::kUnknownVersion;
  }
  // The candidate's handles are free again. The unpacking below overwrites the open document field by
  // field and must not stop half way because the zone is full: it goes ahead only when one free block
  // could take every field's bytes at once (their packed bytes, plus a block header and rounding each).
  const uint64_t room = uint64_t(end) + 32ull * uint32_t(File().Layout().FieldCount());
  if (room > UINT32_MAX || !MemCanHold(uint32_t(room))) db::Fail(db::kDamagedFile);
  UnpackRecord(nullptr, file);  // the blobs' bytes change in place: the tables stay bound
  if (version < kCurrentVersion) ConvertOldDocument(version);
  if (viewPoints_ != nullptr) viewPoints_->AfterOpen(*this);
  return UnpackResult::kAccepted;
}

void zelvproDocFil::CheckPlanTables(const char* record) {
  // Every number of a plan's geometry: positions, sizes, angles, wall ends and arcs.
  static constexpr const char* kGeometry[] = {
      "xposition", "yposition",   "zposition",   "xanchor",     "yanchor", "rotation", "height",   "orgDepth",
      "currDepth", "dimensionsx", "dimensionsy", "dimensionsz", "radius",  "center.x", "center.y", "center.z",
      "startPt.x", "startPt.y",   "startPt.z",   "endPt.x",     "endPt.y", "endPt.z"};
  for (const char* blobName : {"room", "furniture", "annotation"}) {
    Handle blob = RecordField(*this, blobName).Data(record);
    if (blob == nullptr || MemGetSize(blob) == 0) continue;
    // The table's record buffer and its selection list (a header and 8 bytes: two handles' room).
    RequireRoomForEmptyHandles(RoomTable().FieldCount() + 2);
    zelvproDocModuleFil plan(Database(), blob);
    plan.LoadFromBlob();  // a damaged table throws db::kDamagedFile
    std::vector<int32_t> fields;
    for (const char* name : kGeometry)
      if (const RecordField field(plan, name); field.Exists()) fields.push_back(field.Index());
    fields.push_back(RecordField(plan, "wallThickness").Index());
    char* values = plan.GetRecordBuffer();
    bool sane = true;
    for (int32_t i = 0; i < plan.GetRecordCount() && sane; ++i) {
      plan.ReadRecordAt(i, nullptr);
      for (const int32_t field : fields) {
        if (field < 0) continue;
        ppParameter value;
        plan.GetFieldValue(field, value, values);
        const double v = value.ToDouble();
        if (!(std::fabs(v) <= kFarthestCoordinate)) sane = false;  // not-a-number too
      }
    }
    plan.DisposeRecords();
    if (!sane) db::Fail(db::kDamagedFile);
  }
}

void zelvproDocFil::PrepareForPacking() {
  if (viewPoints_ != nullptr) viewPoints_->BeforePacking(*this);
}

void zelvproDocFil::ConvertOldDocument(int32_t version) {
  if (version == 0) {
    ConvertPlanOfVersion0(*room_);
    ConvertPlanOfVersion0(*furniture_);
  }
  if (version == 0 || version == 1) WidenLegacyTexts();
  version_.SetLong(record_, kCurrentVersion);
}

void zelvproDocFil::ConvertPlanOfVersion0(zelvproDocModuleFil& plan) {
  plan.LoadFromBlob();
  char* record = plan.GetRecordBuffer();
  const RecordField snaps(plan, "snappoints"), y(plan, "yposition"), z(plan, "zposition");
  for (int32_t i = 0; i < plan.GetRecordCount(); ++i) {
    plan.ReadRecordAt(i, nullptr);
    if (Handle data = snaps.Data(record)) WidenSnapEntries(data);
    // In these files "yposition" held the plan depth and "zposition" the height: the two are
    // exchanged, not copied, or every unit would lose its height.
    const double oldY = y.Double(record), oldZ = z.Double(record);
    y.SetDouble(record, oldZ);
    z.SetDouble(record, double(float(oldY)));
    plan.WriteRecordAt(i, nullptr);
  }
  plan.SaveToBlob();
  plan.DisposeRecords();
}

void zelvproDocFil::WidenLegacyTexts() {
  for (const auto& [narrowName, wideName] : kLegacyTexts) {
    const Vcon::String narrow = RecordField(*this, narrowName).Text(record_);
    if (!narrow.empty()) RecordField(*this, wideName).SetWideText(record_, Vcon::WString(narrow));
  }
}

// ---- autosave -------------------------------------------------------------------------------------

void zelvproDocFil::StartAutoSaveThread(ppWindow& documentWindow, plat::HWND frame, iAutoSaveWaiter* waiter) {
  StopAutoSaveThread();
  auto finished = std::make_shared<AutoSaveThread::Finished>();
  auto* thread = new AutoSaveThread(documentWindow, frame, waiter, finished);
  if (!thread->IsStarted()) {
    thread->Terminate();  // the system gave no thread: the object is deleted at once
    return;
  }
  AutoSaveState.store(AutoSaveThread::kStateRunning);
  autoSaveThread_ = thread;
  autoSaveFinished_ = std::move(finished);
  autoSaveWaiter_ = waiter;
  thread->Resume();
}

void zelvproDocFil::StopAutoSaveThread() {
  if (autoSaveThread_ == nullptr) return;
  AutoSaveState.store(AutoSaveThread::kStateStopping);
  autoSaveThread_->Terminate();  // ends its sleep; the thread deletes the object
  autoSaveThread_ = nullptr;
  if (autoSaveWaiter_ != nullptr) autoSaveWaiter_->Wake();
  autoSaveFinished_->Wait();
  autoSaveFinished_.reset();
  autoSaveWaiter_ = nullptr;
  AutoSaveState.store(AutoSaveThread::kStateNone);
}

void zelvproDocFil::DeleteAutoSaveFile() {
  // Most starts and saves find no autosave: its absence is told by the file system, without the
  // failed delete's thrown error.
  if (!MayExist(autoSaveFile_)) return;
  try {
    FileDelete(autoSaveFile_);
  } catch (int32_t) {
    // One that cannot go: nothing to tell anyone.
  }
}

// ---- server delete request ------------------------------------------------------------------------

void zelvproDocFil::ReceiveMessage(ppCollaborator*, int32_t channel, int32_t id, intptr_t parameter) {
  if (channel != kDocumentChannel || id != kDeleteMessage || parameter == 0) return;
  HandleServerDeleteRequest(*reinterpret_cast<ServerDeleteRequest*>(parameter));
}

void zelvproDocFil::HandleServerDeleteRequest(ServerDeleteRequest& request) {
  if (serverDelete_ == nullptr || serverDelete_->Confirm(kDeleteAlert) != 1) return;
  const Vcon::WString reply = serverDelete_->SendDeleteRequest(request.fileName);
  if (reply.find(u"<accept") == Vcon::WString::npos) {
    request.resultTextId = kDeleteRefused;
    if (const std::optional<std::u16string_view> id = ServerReplyIdText(reply))
      request.messageSuffix += u" (" + std::u16string(*id) + u")";
    return;
  }
  // The new list first: should reading it fail, the dialog keeps the old one.
  ServerFileList* list = serverDelete_->ParseFileList(reply);
  if (request.fileList != nullptr) serverDelete_->DeleteFileList(request.fileList);
  request.fileList = list;
}

// ---- document price settings ----------------------------------------------------------------------

bool zelvproDocFil::HasOwnPriceSettings() const { return useDocumentFactors_.Long(record_) != 0; }

double zelvproDocFil::ExchangeFactor() const { return exchangeFactor_.Double(record_); }

double zelvproDocFil::ProfitFactor() const { return profitFactor_.Double(record_); }

uint32_t zelvproDocFil::RoundingMode() const { return uint32_t(rounding_.Long(record_)); }

int64_t zelvproDocFil::RoundingStepRaw() const {
  const int32_t step = roundTo_.Long(record_);
  return step == 0 ? ppMoney::kNoValue : int64_t(step);
}
