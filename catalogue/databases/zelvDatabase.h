// One catalogue database: a database file holding the retailer's catalogue, with one table object
// per catalogue layout (groups, types, items, top views, units, shapes, prices, colours, textures and
// the rest), its localised texts by number, the delete check across its tables and the texture of a
// colour.
//
// Opening (the constructor) makes the string and settings tables first, rebuilds the indexes once
// when the computer's language differs from the one they were built for, reports "Opening <name>" to
// the start-up window and then makes the other tables. The tables are owned and live as long as the
// database; their accessors are valid once the constructor has returned. Errors of the database
// engine leave the constructor as its error numbers, with every transaction of the opening aborted.
//
// User-interface thread only.
#pragma once

#include "catalogue/databases/LanguageTexts.h"
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "database/ppDatabase.h"

class ppDatafile;
class ppPicture;
class zelvproClassFil;
class zelvproCatalogItemFil;
class zelvproColorCatalogFil;
class zelvproColorCodeFil;
class zelvproColorGroupFil;
class zelvproConfiguratorFil;
class zelvproDepthFil;
class zelvproGroupFil;
class zelvproMaterialFil;
class zelvproNoteFil;
class zelvproOptionValueFil;
class zelvproPacketFil;
class zelvproParametricFil;
class zelvproPosSheetFil;
class zelvproPreferences;
class zelvproPriceFil;
class zelvproShape3DFil;
class zelvproShapeFil;
class zelvproTextureFil;
class zelvproTopViewFil;
class zelvproTypeFil;
class zelvproUnitFil;

class zelvDatabase : public ppDatabase {
 public:
  // The program text that replaces the opening word, and the string array of the progress lines.
  static constexpr int32_t kOpeningText = 5107;
  static constexpr uint16_t kProgressTexts = 2021;

  explicit zelvDatabase(ppFileSpec& fileSpec);
  ~zelvDatabase() override;

  // Text `number` in language `language` from the catalogue's string table ("qxString"). Each
  // language's texts are read once, at its first request, and kept until the database closes.
  bool GetString(int32_t number, Vcon::WString& text, int32_t language) override;
  // False when a table of this database still refers to record `recordId` of file `fileId`; files
  // that nothing refers to answer true without asking any table.
  bool CanDeleteRecord(int32_t fileId, int32_t recordId) override;
  // The picture of texture link n of colour `colorId` (zelvproColorCatalogFil::GetTexture of the
  // first colour table).
  ppPicture* GetColorTexture(int32_t colorId, int32_t n);
  // Rebuilds the indexes of the catalogue tables for this computer's language and stores its id.
  void PrepareForLanguage();

  zelvproUnitFil& UnitFile() const { return *unitFile_; }
  zelvproTextureFil& TextureFile() const { return *textureFile_; }
  zelvproGroupFil& GroupFile() const { return *groupFile_; }
  zelvproTypeFil& TypeFile() const { return *typeFile_; }
  // Two independent views of one table: each keeps its own current record, buffer and selection.
  zelvproCatalogItemFil& CatalogItemFile() const { return *catalogItemFile_; }
  zelvproCatalogItemFil& CatalogItemFile2() const { return *catalogItemFile2_; }
  zelvproColorCatalogFil& ColorCatalogFile() const { return *colorCatalogFile_; }
  zelvproColorCatalogFil& ColorCatalogFile2() const { return *colorCatalogFile2_; }
  zelvproPriceFil& PriceFile() const { return *priceFile_; }
  zelvproTopViewFil& TopViewFile() const { return *topViewFile_; }
  zelvproTopViewFil& TopViewFile2() const { return *topViewFile2_; }
  zelvproShapeFil& ShapeFile() const { return *shapeFile_; }
  zelvproPreferences& SettingsFile() const { return *settingsFile_; }
  zelvproParametricFil& ParametricFile() const { return *parametricFile_; }
  zelvproDepthFil& DepthFile() const { return *depthFile_; }
  zelvproPosSheetFil& PosSheetFile() const { return *posSheetFile_; }
  zelvproColorCodeFil& ColorCodeFile() const { return *colorCodeFile_; }
  zelvproColorGroupFil& ColorGroupFile() const { return *colorGroupFile_; }
  zelvproNoteFil& NoteFile() const { return *noteFile_; }
  zelvproShape3DFil& Shape3DFile() const { return *shape3DFile_; }
  zelvproClassFil& ClassFile() const { return *classFile_; }
  zelvproOptionValueFil& OptionValueFile() const { return *optionValueFile_; }
  zelvproMaterialFil& MaterialFile() const { return *materialFile_; }
  zelvproPacketFil& PacketFile() const { return *packetFile_; }
  ppDatafile& StringFile() const { return *stringFile_; }
  zelvproConfiguratorFil& ConfiguratorFile() const { return *configuratorFile_; }

  // The settings record's "colorCatalogLink" as it was at opening.
  int32_t DefaultColorCatalogId() const { return defaultColorCatalogId_; }
  // With the extended colour system: the "defaultColor" of every colour code, in the order of the
  // colour-code table's index 0 at opening; null without it.
  const std::vector<int32_t>* ColorCodeDefaults() const { return colorCodeDefaults_.get(); }
  // Bit 0 of the settings record's "useExtendedColorSystem".
  bool ExtendedColorSystem() const { return extendedColorSystem_; }
  // The word at byte 4 of the file; the catalogue list sets it.
  uint32_t FileTypeCode() const { return fileTypeCode_; }
  void SetFileTypeCode(uint32_t code) { fileTypeCode_ = code; }
  // The depth the plan elements of this catalogue use: the first depth record at opening (0 without
  // one); setting the depth of a parametric element changes it.
  int32_t CurrentDepthId() const { return currentDepthId_; }
  void SetCurrentDepthId(int32_t id) { currentDepthId_ = id; }
  // The colour record applied to the plan last (0: none yet); new elements without a colour take it.
  int32_t CurrentColorId() const { return currentColorId_; }
  void SetCurrentColorId(int32_t id) { currentColorId_ = id; }
  // The colour record applied last to colour group `group` (1-based; 0: none yet).
  int32_t LastGroupColor(int32_t group) const {
    auto found = lastGroupColors_.find(group);
    return found != lastGroupColors_.end() ? found->second : 0;
  }
  void SetLastGroupColor(int32_t group, int32_t id) { lastGroupColors_[group] = id; }

 private:
  void OpenSettings();
  void CreateTables();
  void ReadColorCodeDefaults();
  void ShowOpeningProgress();
  void DeleteTables();

  std::unique_ptr<zelvproUnitFil> unitFile_;
  std::unique_ptr<zelvproTextureFil> textureFile_;
  std::unique_ptr<zelvproGroupFil> groupFile_;
  std::unique_ptr<zelvproTypeFil> typeFile_;
  std::unique_ptr<zelvproCatalogItemFil> catalogItemFile_, catalogItemFile2_;
  std::unique_ptr<zelvproColorCatalogFil> colorCatalogFile_, colorCatalogFile2_;
  std::unique_ptr<zelvproPriceFil> priceFile_;
  std::unique_ptr<zelvproTopViewFil> topViewFile_, topViewFile2_;
  std::unique_ptr<zelvproShapeFil> shapeFile_;
  std::unique_ptr<zelvproPreferences> settingsFile_;
  std::unique_ptr<zelvproParametricFil> parametricFile_;
  std::unique_ptr<zelvproDepthFil> depthFile_;
  std::unique_ptr<zelvproPosSheetFil> posSheetFile_;
  std::unique_ptr<zelvproColorCodeFil> colorCodeFile_;
  std::unique_ptr<zelvproColorGroupFil> colorGroupFile_;
  std::unique_ptr<zelvproNoteFil> noteFile_;
  std::unique_ptr<zelvproShape3DFil> shape3DFile_;
  std::unique_ptr<zelvproClassFil> classFile_;
  std::unique_ptr<zelvproOptionValueFil> optionValueFile_;
  std::unique_ptr<zelvproMaterialFil> materialFile_;
  std::unique_ptr<zelvproPacketFil> packetFile_;
  std::unique_ptr<ppDatafile> stringFile_;
  std::unique_ptr<zelvproConfiguratorFil> configuratorFile_;
  int32_t defaultColorCatalogId_ = 0;
  std::unique_ptr<std::vector<int32_t>> colorCodeDefaults_;
  bool extendedColorSystem_ = false;
  uint32_t fileTypeCode_ = 0;
  int32_t currentDepthId_ = 0;
  int32_t currentColorId_ = 0;
  std::map<int32_t, int32_t> lastGroupColors_;  // colour group -> colour record id
  bool openedWithoutTopViews_ = false;
  // Language code -> text number -> text.
  LanguageTexts stringCache_{LanguageTexts::Duplicates::kLastWins};
};

// The catalogue whose top-view table was empty when it opened (the last such one): the extras
// dialog's article table. Not owned; cleared when that database closes. User-interface thread only.
extern zelvDatabase* ExtrasCatalogDatabase;
