#include "catalogue/databases/zelvDatabase.h"

#include "catalogue/databases/iStartupProgress.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproCatalogItemFil.h"
#include "catalogue/records/zelvproClassFil.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproColorCodeFil.h"
#include "catalogue/records/zelvproColorGroupFil.h"
#include "catalogue/records/zelvproConfiguratorFil.h"
#include "catalogue/records/zelvproDepthFil.h"
#include "catalogue/records/zelvproGroupFil.h"
#include "catalogue/records/zelvproMaterialFil.h"
#include "catalogue/records/zelvproNoteFil.h"
#include "catalogue/records/zelvproOptionValueFil.h"
#include "catalogue/records/zelvproPacketFil.h"
#include "catalogue/records/zelvproParametricFil.h"
#include "catalogue/records/zelvproPartsListFil.h"
#include "catalogue/records/zelvproPosSheetFil.h"
#include "catalogue/records/zelvproPreferences.h"
#include "catalogue/records/zelvproPreviewFil.h"
#include "platform/ResetList.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "catalogue/records/zelvproShape3DFil.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproTextureFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproTypeFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/dbDatafile.h"
#include "foundation/ResourceAccess.h"
#include "foundation/TextsById.h"
#include "platform/UserLanguage.h"
#include "database/InTransaction.h"

zelvDatabase* ExtrasCatalogDatabase = nullptr;

namespace {
[[maybe_unused]] const bool kResetExtras =
    plat::ResetList::Add("extras catalogue", [] { ExtrasCatalogDatabase = nullptr; });
}  // namespace

namespace {

// Items of the progress texts, counted from 1.
constexpr int32_t kOpeningItem = 2, kPreparingItem = 3, kForThisComputerItem = 4;

template <typename T>
std::unique_ptr<ppDatafile> MakeTable(ppDatabase& database) {
  return std::make_unique<T>(database);
}

// The tables whose indexes are rebuilt for a new language, in this order. The string, settings, 3D
// shape, class and configurator tables keep theirs.
using TableMaker = std::unique_ptr<ppDatafile> (*)(ppDatabase&);
constexpr TableMaker kLanguageTables[] = {
    &MakeTable<zelvproGroupFil>,       &MakeTable<zelvproTypeFil>,         &MakeTable<zelvproCatalogItemFil>,
    &MakeTable<zelvproTopViewFil>,     &MakeTable<zelvproShapeFil>,        &MakeTable<zelvproTextureFil>,
    &MakeTable<zelvproUnitFil>,        &MakeTable<zelvproColorCatalogFil>, &MakeTable<zelvproPriceFil>,
    &MakeTable<zelvproParametricFil>,  &MakeTable<zelvproPosSheetFil>,     &MakeTable<zelvproColorCodeFil>,
    &MakeTable<zelvproColorGroupFil>,  &MakeTable<zelvproNoteFil>,         &MakeTable<zelvproDepthFil>,
    &MakeTable<zelvproPacketFil>,      &MakeTable<zelvproPreviewFil>,      &MakeTable<zelvproPartsListFil>,
    &MakeTable<zelvproOptionValueFil>, &MakeTable<zelvproMaterialFil>,
};

Vcon::WString ProgressText(int32_t item) {
  Vcon::WString text;
  GetStringArrayText(text, zelvDatabase::kProgressTexts, item);
  return text;
}

}  // namespace

zelvDatabase::zelvDatabase(ppFileSpec& fileSpec) : ppDatabase(fileSpec) {
  db::InTransaction(*this, [&] { OpenSettings(); });
  if (uint32_t(plat::GetUserDefaultLangID()) != uint32_t(settingsFile_->LanguageId())) PrepareForLanguage();
  ShowOpeningProgress();
  db::InTransaction(*this, [&] { CreateTables(); });
  ReadColorCodeDefaults();
  // Only a database that opened completely may become the extras catalogue: one that failed is
  // destroyed by its caller and must not be left behind in the global.
  if (openedWithoutTopViews_) ExtrasCatalogDatabase = this;
}

zelvDatabase::~zelvDatabase() {
  if (ExtrasCatalogDatabase == this) ExtrasCatalogDatabase = nullptr;
  DeleteTables();
  colorCodeDefaults_.reset();
  stringCache_.Clear();
}

void zelvDatabase::OpenSettings() {
  stringFile_ = std::make_unique<ppDatafile>("qxString", *this);
  settingsFile_ = std::make_unique<zelvproPreferences>(*this);
  settingsFile_->InitDefaults();
  defaultColorCatalogId_ = settingsFile_->ColorCatalogLink();
}

void zelvDatabase::CreateTables() {
  groupFile_ = std::make_unique<zelvproGroupFil>(*this);
  typeFile_ = std::make_unique<zelvproTypeFil>(*this);
  catalogItemFile_ = std::make_unique<zelvproCatalogItemFil>(*this);
  catalogItemFile2_ = std::make_unique<zelvproCatalogItemFil>(*this);
  topViewFile_ = std::make_unique<zelvproTopViewFil>(*this);
  topViewFile_->SelectAll();
  openedWithoutTopViews_ = topViewFile_->GetSelectedCount() == 0;
  topViewFile2_ = std::make_unique<zelvproTopViewFil>(*this);
  shapeFile_ = std::make_unique<zelvproShapeFil>(*this);
  textureFile_ = std::make_unique<zelvproTextureFil>(*this);
  unitFile_ = std::make_unique<zelvproUnitFil>(*this);
  colorCatalogFile_ = std::make_unique<zelvproColorCatalogFil>(*this);
  colorCatalogFile2_ = std::make_unique<zelvproColorCatalogFil>(*this);
  priceFile_ = std::make_unique<zelvproPriceFil>(*this);
  parametricFile_ = std::make_unique<zelvproParametricFil>(*this);
  posSheetFile_ = std::make_unique<zelvproPosSheetFil>(*this);
  colorCodeFile_ = std::make_unique<zelvproColorCodeFil>(*this);
  colorCodeFile_->SelectAllByIndex(0);
  colorGroupFile_ = std::make_unique<zelvproColorGroupFil>(*this);
  noteFile_ = std::make_unique<zelvproNoteFil>(*this);
  shape3DFile_ = std::make_unique<zelvproShape3DFil>(*this);
  classFile_ = std::make_unique<zelvproClassFil>(*this);
  optionValueFile_ = std::make_unique<zelvproOptionValueFil>(*this);
  materialFile_ = std::make_unique<zelvproMaterialFil>(*this);
  packetFile_ = std::make_unique<zelvproPacketFil>(*this);
  depthFile_ = std::make_unique<zelvproDepthFil>(*this);
  depthFile_->SelectAll();
  currentDepthId_ = depthFile_->GetSelectedCount() > 0 ? depthFile_->RecordIdAt(0) : 0;
  configuratorFile_ = std::make_unique<zelvproConfiguratorFil>(*this);
}

void zelvDatabase::ReadColorCodeDefaults() {
  colorCodeDefaults_.reset();
  extendedColorSystem_ = (settingsFile_->UseExtendedColorSystem() & 1) != 0;
  if (!extendedColorSystem_) return;
  const RecordField defaultColor(*colorCodeFile_, "defaultColor");
  auto defaults = std::make_unique<std::vector<int32_t>>(size_t(colorCodeFile_->GetSelectedCount()));
  for (size_t i = 0; i < defaults->size(); ++i) {
    colorCodeFile_->ReadRecordAt(int32_t(i), nullptr);
    (*defaults)[i] = defaultColor.Long(colorCodeFile_->GetRecordBuffer());
  }
  colorCodeDefaults_ = std::move(defaults);
}

void zelvDatabase::ShowOpeningProgress() {
  Vcon::WString line = ProgressText(kOpeningItem);
  GetTextById(kOpeningText, line);
  line += u" ";
  line += settingsFile_->LocalName();
  ShowStartupProgress(line);
}

void zelvDatabase::DeleteTables() {
  groupFile_.reset();
  typeFile_.reset();
  catalogItemFile_.reset();
  catalogItemFile2_.reset();
  topViewFile_.reset();
  topViewFile2_.reset();
  settingsFile_.reset();
  shapeFile_.reset();
  textureFile_.reset();
  unitFile_.reset();
  colorCatalogFile_.reset();
  colorCatalogFile2_.reset();
  priceFile_.reset();
  parametricFile_.reset();
  posSheetFile_.reset();
  colorCodeFile_.reset();
  colorGroupFile_.reset();
  noteFile_.reset();
  shape3DFile_.reset();
  classFile_.reset();
  depthFile_.reset();
  optionValueFile_.reset();
  materialFile_.reset();
  packetFile_.reset();
  configuratorFile_.reset();
  stringFile_.reset();
}

// ---- localised texts ----------------------------------------------------------------------------

bool zelvDatabase::GetString(int32_t number, Vcon::WString& text, int32_t language) {
  const LanguageTexts::Texts& texts = stringCache_.Of(stringFile_.get(), language);
  auto found = texts.find(number);
  if (found == texts.end()) return false;
  text = found->second;
  return true;
}

// ---- language preparation ------------------------------------------------------------------------

void zelvDatabase::PrepareForLanguage() {
  ShowStartupProgress(ProgressText(kPreparingItem) + settingsFile_->LocalName() +
                      ProgressText(kForThisComputerItem));
  FlushCaches();
  for (TableMaker make : kLanguageTables) {
    db::InTransaction(*this, [&] { make(*this)->RebuildIndexes(); });
    FlushCaches();
  }
  db::InTransaction(*this, [&] {
    settingsFile_->InitDefaults();
    settingsFile_->SetLanguageId(int32_t(uint32_t(plat::GetUserDefaultLangID())));
    settingsFile_->WriteRecordAt(0, nullptr);
  });
}

// ---- delete check and textures -------------------------------------------------------------------

bool zelvDatabase::CanDeleteRecord(int32_t fileId, int32_t recordId) {
  std::vector<ppDatafile*> asked;
  switch (fileId) {
    case zelvproGroupFil::kFileId:
      asked = {catalogItemFile_.get()};
      break;
    case zelvproTopViewFil::kFileId:
      asked = {catalogItemFile_.get(), topViewFile_.get(), unitFile_.get()};
      break;
    case zelvproShapeFil::kFileId:
      asked = {parametricFile_.get(), topViewFile_.get(), unitFile_.get()};
      break;
    case zelvproTextureFil::kFileId:
      asked = {colorCatalogFile_.get()};
      break;
    case zelvproColorCatalogFil::kFileId:
      asked = {catalogItemFile_.get(), colorCodeFile_.get(), colorGroupFile_.get(), settingsFile_.get(),
               priceFile_.get(),       topViewFile_.get(),   unitFile_.get()};
      break;
    case zelvproUnitFil::kFileId:
      asked = {packetFile_.get(), priceFile_.get(), topViewFile_.get(), unitFile_.get()};
      break;
    case zelvproParametricFil::kFileId:
    case zelvproNoteFil::kFileId:
    case zelvproShape3DFil::kFileId:
    case zelvproOptionValueFil::kFileId:
      asked = {unitFile_.get()};
      break;
    case zelvproDepthFil::kFileId:
      asked = {priceFile_.get(), topViewFile_.get(), unitFile_.get()};
      break;
    case zelvproPosSheetFil::kFileId:
      asked = {topViewFile_.get()};
      break;
    case zelvproPreviewFil::kFileId:
      asked = {catalogItemFile_.get(), optionValueFile_.get(), unitFile_.get()};
      break;
    case zelvproColorCodeFil::kFileId:
      asked = {topViewFile_.get(), unitFile_.get()};
      break;
    case zelvproColorGroupFil::kFileId:
      asked = {colorCatalogFile_.get(), priceFile_.get(), topViewFile_.get()};
      break;
    case zelvproMaterialFil::kFileId:
      asked = {colorCatalogFile_.get()};
      break;
    case zelvproClassFil::kFileId:
      asked = {colorCatalogFile_.get(), colorCodeFile_.get(), optionValueFile_.get(), topViewFile_.get()};
      break;
    default:
      return true;
  }
  for (ppDatafile* table : asked) {
    if (table != nullptr && !table->AllowsDeleteOf(fileId, recordId)) return false;
  }
  return true;
}

ppPicture* zelvDatabase::GetColorTexture(int32_t colorId, int32_t n) {
  return colorCatalogFile_->GetTexture(colorId, n);
}
