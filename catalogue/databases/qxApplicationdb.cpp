#include "catalogue/databases/qxApplicationdb.h"

#include "catalogue/databases/qxConfiguratorCommands.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxApplicationFil.h"
#include "catalogue/records/qxStringFil.h"
#include "catalogue/records/zelvproConfiguratorFil.h"
#include "database/dbDatafile.h"
#include "foundation/TextsById.h"
#include "platform/ResetList.h"
#include "database/InTransaction.h"

qxApplicationFil* ApplicationRecordFile = nullptr;
char* ApplicationRecord = nullptr;

namespace {
[[maybe_unused]] const bool kReset = plat::ResetList::Add("application record file and record", [] {
  ApplicationRecordFile = nullptr;
  ApplicationRecord = nullptr;
});
}  // namespace

namespace {

const char* const kDefaultPanelNames[qxApplicationdb::kDefaultPanelCount] = {
    "Room Design Default Panel", "Top View Default Panel", "Top View Color Default Panel",
    "Annotation Default Panel",  "3D View Default Panel",  "Calculation Default Panel"};

}  // namespace

qxApplicationdb::qxApplicationdb(ppFileSpec& fileSpec) : ppDatabase(fileSpec) {
  try {
    db::InTransaction(*this, [&] { CreateTables(); });
  } catch (...) {
    DeleteTables();
    throw;
  }
  commands_ = std::make_unique<qxConfiguratorCommands>();
  SetTextSource(this);
}

qxApplicationdb::~qxApplicationdb() {
  if (CurrentTextSource() == this) SetTextSource(nullptr);
  DeleteTables();
  stringCache_.Clear();
}

void qxApplicationdb::CreateTables() {
  applicationFile_ = std::make_unique<qxApplicationFil>(*this);
  ApplicationRecordFile = applicationFile_.get();
  ApplicationRecord = applicationFile_->GetRecordBuffer();
  configuratorFile_ = std::make_unique<zelvproConfiguratorFil>(*this);
  languageCodeFile_ = std::make_unique<ppDatafile>("qxLanguageCode", *this);
  stringFile_ = std::make_unique<qxStringFil>(*this, [this] { stringCache_.Clear(); });
  AddMissingPanels();
}

// A panel that exists keeps its name and field layout; a missing one gets an empty layout.
void qxApplicationdb::AddMissingPanels() {
  zelvproConfiguratorFil& panels = *configuratorFile_;
  const RecordField id(panels, "id");
  const int32_t name = panels.IndexOf("name");
  for (int32_t i = 0; i < kDefaultPanelCount; ++i) {
    panels.ClearRecordBuffer(nullptr);
    id.SetLong(panels.GetRecordBuffer(), kFirstDefaultPanel + i);
    panels.SetFieldValue(name, ppParameter(kDefaultPanelNames[i]), nullptr);
    panels.AddRecord(nullptr, nullptr);
  }
}

void qxApplicationdb::DeleteTables() {
  configuratorFile_.reset();
  if (ApplicationRecordFile == applicationFile_.get()) {
    ApplicationRecordFile = nullptr;
    ApplicationRecord = nullptr;
  }
  applicationFile_.reset();
  languageCodeFile_.reset();
  stringView_.reset();
  stringFile_.reset();
  stringCache_.Clear();
}

bool qxApplicationdb::GetString(int32_t number, Vcon::WString& text, int32_t language) {
  const LanguageTexts::Texts& texts = stringCache_.Of(stringFile_.get(), language);
  auto found = texts.find(number);
  if (found == texts.end()) return false;
  text = found->second;
  return true;
}

ppParameter qxApplicationdb::GetValue(int32_t index) {
  if (stringFile_ == nullptr || NameAt(index) != qxStringFil::kLayout) return ppDatabase::GetValue(index);
  // The texts' table view of property paths also drops the texts read ahead when it changes them.
  if (stringView_ == nullptr) {
    stringView_ = std::make_unique<qxStringFil>(*this, [this] { stringCache_.Clear(); });
    stringView_->SelectAll();
  }
  return ppParameter(static_cast<iProperty*>(stringView_.get()));
}

bool qxApplicationdb::BuildConfigurator(int32_t layoutId) {
  configuratorFile_->BuildConfiguratorFromLayout(layoutId);
  return true;
}
