// Configurator records: one "qxConfigurator" record per panel set of the configurator, its field
// layout held as "qxConfigField" records in its "data" blob. The application database keeps the
// default panels 1000 to 1005 here; a catalogue may bring panels of its own.
//
// The field table follows the current record: every read reloads it from the record's "data".
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproConfigFieldFil;

class zelvproConfiguratorFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5432;
  static constexpr const char* kLayout = "qxConfigurator";

  explicit zelvproConfiguratorFil(ppDatabase& database);
  ~zelvproConfiguratorFil() override;

  // Adds the record only when no record has its "id" yet; otherwise adds nothing and leaves
  // *outId as it was.
  void AddRecord(int32_t* outId, char* buffer) override;
  // Reloads the field table from the read record's "data".
  void AfterRead(char* buffer) override;
  // "id" as text, one blank, "name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;

  // Replaces the whole content of the program-wide configurator (ppConfigurator::Host) with the
  // pages and fields of layout `layoutId`. Field records: type 0 starts a page captioned "label",
  // 1 a text field showing "text", 2 a picture button (picture id "label", message names "text"),
  // 3 a divider (framed with picture "text" when that is a positive number). A negative id, or one
  // no record has, builds the record read last again. Without a configurator nothing happens.
  void BuildConfiguratorFromLayout(int32_t layoutId);

  // The field records of the current configurator record.
  zelvproConfigFieldFil& FieldFile() const { return *fieldFile_; }

 private:
  RecordField id_, name_, data_;
  std::unique_ptr<zelvproConfigFieldFil> fieldFile_;
};
