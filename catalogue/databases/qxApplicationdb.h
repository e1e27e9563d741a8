// The application database (".\settings\zadezodid.cdb"): the one application record with its
// function records, the configurator layouts, the language codes and the program's texts by
// number in every language.
//
// Opening builds the tables in one transaction, adds the application record when the file has
// none and each default configurator panel (1000 to 1005) that is missing, and commits. From then
// until it closes the database is the program's text source (GetTextById answers from it) and the
// two application globals name its application record file and record, and the commands of the
// configurator's picture buttons are known by name (qxConfiguratorCommands). Errors of the database
// engine leave the constructor as its error numbers, with the opening's transaction aborted and no
// global left set.
//
// User-interface thread only.
#pragma once

#include "catalogue/databases/LanguageTexts.h"
#include <cstdint>
#include <map>
#include <memory>

#include "catalogue/records/qxStringFil.h"
#include "database/ppDatabase.h"

class qxApplicationFil;
class qxConfiguratorCommands;
class zelvproConfiguratorFil;

class qxApplicationdb : public ppDatabase {
 public:
  // The default configurator panels, by view: room design, top view, top view colours,
  // annotation, 3D view, calculation.
  static constexpr int32_t kFirstDefaultPanel = 1000;
  static constexpr int32_t kDefaultPanelCount = 6;

  explicit qxApplicationdb(ppFileSpec& fileSpec);
  ~qxApplicationdb() override;

  // Text `number` in `language` from the "qxString" table; false and `text` unchanged when that
  // language has no text of that number. A language's texts are read once, at its first request,
  // and read again after the table is changed through StringFile() or the table's property view.
  bool GetString(int32_t number, Vcon::WString& text, int32_t language) override;
  // The "qxString" table's view hands out a view that keeps the texts read ahead in step.
  ppParameter GetValue(int32_t index) override;

  // Fills the program-wide configurator from configurator layout `layoutId` (a default panel when
  // the view mode changes); an id no record has builds the layout read last again. Always true.
  bool BuildConfigurator(int32_t layoutId);

  qxApplicationFil& ApplicationFile() const { return *applicationFile_; }
  zelvproConfiguratorFil& ConfiguratorFile() const { return *configuratorFile_; }
  ppDatafile& LanguageCodeFile() const { return *languageCodeFile_; }
  ppDatafile& StringFile() const { return *stringFile_; }
  qxConfiguratorCommands& ConfiguratorCommands() const { return *commands_; }

 private:
  void CreateTables();
  void AddMissingPanels();
  void DeleteTables();

  // Language code -> text number -> text.
  LanguageTexts stringCache_{LanguageTexts::Duplicates::kFirstWins};
  std::unique_ptr<qxApplicationFil> applicationFile_;
  std::unique_ptr<zelvproConfiguratorFil> configuratorFile_;
  std::unique_ptr<ppDatafile> languageCodeFile_;
  std::unique_ptr<qxStringFil> stringFile_;
  std::unique_ptr<qxStringFil> stringView_;  // made by GetValue
  std::unique_ptr<qxConfiguratorCommands> commands_;
};

// The application record file of the open application database, and its record buffer (the
// application record); null while none is open. Not owned. User-interface thread only.
extern qxApplicationFil* ApplicationRecordFile;
extern char* ApplicationRecord;
