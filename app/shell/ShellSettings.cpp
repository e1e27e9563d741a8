#include "app/shell/ShellSettings.h"

#include "app/shell/RoomNumberLabelOption.h"
#include "canvas/window/PrintResolutionHook.h"
#include "catalogue/browser/qxCatalog.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxApplicationFil.h"
#include "elements/topview/iNumberLabelOption.h"
#include "framework/ApplicationSettings.h"
#include "platform/ResetList.h"

namespace {

ShellSettings gSettings;
RoomNumberLabelOption gNumberLabels;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("shell settings", [] {
  if (&iApplicationSettings::Current() == &gSettings.ElementSettings())
    iApplicationSettings::Install(nullptr);
  if (&iNumberLabelOption::Current() == &gNumberLabels) iNumberLabelOption::Install(nullptr);
  gSettings = ShellSettings();
});

}  // namespace

ShellSettings& ShellSettings::Current() { return gSettings; }

const std::array<ShellSettings::FlagBit, ShellSettings::kFlagCount>& ShellSettings::FlagTable() {
  // flags1 upwards, then flags2 0x1 to 0x20, 0x20000 to 0x100000, 0x40 to 0x400, then the two
  // switches copied after the menu's credits check.
  static const std::array<FlagBit, kFlagCount> table{{
      {kSecondPriceOption, false, 0x00000002},  {kMergeLinesOption, false, 0x00000080},
      {kDiscountFields, false, 0x00000200},     {kCalculationBar, false, 0x00000400},
      {kViewMenuOption, false, 0x00040000},     {kPaletteOptionA, false, 0x02000000},
      {kNewRoomOption, false, 0x04000000},      {kEditorCanvasOption, false, 0x08000000},
      {kEditorOption, false, 0x10000000},       {kPaneLayoutOption, false, 0x20000000},
      {kPriceListTotals, false, 0x40000000},    {kWallFloorOption, false, 0x80000000},
      {kConfiguratorOption, true, 0x00000001},  {kCalculationOption, true, 0x00000002},
      {kInfoPanelOption1, true, 0x00000004},    {kInfoPanelOption2, true, 0x00000008},
      {kInfoPanelOption3, true, 0x00000010},    {kTopCanvasOption, true, 0x00000020},
      {kFrameLock, true, 0x00020000},           {kNumbering, true, 0x00040000},
      {kElementOptionB, true, 0x00080000},      {kServerSave, true, 0x00100000},
      {kInfoPanelOption4, true, 0x00000040},    {kInfoPanelOption5, true, 0x00000080},
      {kInfoPanelOption6, true, 0x00000100},    {kElementOption, true, 0x00000200},
      {kHighResolutionPrint, true, 0x00000400}, {kGridOption, true, 0x00001000},
      {kPrintLayoutDump, true, 0x00002000},
  }};
  return table;
}

void ShellSettings::Apply(qxApplicationFil& file) {
  const char* record = file.GetRecordBuffer();
  // The values the record leaves to the program, named by their fields.
  RecordField name, help, posPath, webSite, spare1, startup, wallTextures, floorTextures, flags1, flags2;
  RecordField popFieldHeight, popListHeight;
  RecordField::Bind(file, {{name, "applicationName"},
                           {help, "primaryHelp"},
                           {posPath, "posPath"},
                           {webSite, "webSite"},
                           {spare1, "spare1"},
                           {startup, "startup"},
                           {wallTextures, "wallTextures"},
                           {floorTextures, "floorTextures"},
                           {flags1, "flags1"},
                           {flags2, "flags2"},
                           {popFieldHeight, "popFieldHeight"},
                           {popListHeight, "popListHeight"}});

  const Vcon::String title = name.Text(record);
  if (!title.empty()) SetFrameTitle(std::string(title.c_str()));  // empty keeps the instance name
  helpFile_ = WideFromString(help.Text(record));
  priceListOutput_ = posPath.Text(record);
  webSite_ = webSite.Text(record);
  extendedSettings_ = spare1.Long(record) != 0;
  startPage_ = startup.Long(record);
  wallColorGroup_ = wallTextures.Long(record);
  floorColorGroup_ = floorTextures.Long(record);

  flags1_ = uint32_t(flags1.Long(record));
  flags2_ = uint32_t(flags2.Long(record));
  for (const FlagBit& entry : FlagTable())
    flags_[size_t(entry.flag)] = ((entry.inFlags2 ? flags2_ : flags1_) & entry.bit) != 0;
  printResolution_ = IsOn(kHighResolutionPrint) ? kHighPrintResolution : kDefaultPrintResolution;

  SetApplicationFlags1(flags1_);
  SetApplicationFlags2(flags2_);
  SetFrameLocked(IsOn(kFrameLock));
  CatalogTextsFromRecords = IsOn(kGridOption);

  elementSettings_.flags1 = flags1_;
  elementSettings_.flags2 = flags2_;
  elementSettings_.popFieldHeight = popFieldHeight.Long(record);
  elementSettings_.popListHeight = popListHeight.Long(record);
  elementSettings_.numbering = IsOn(kNumbering);
  elementSettings_.wallColorGroup = wallColorGroup_;
  elementSettings_.floorColorGroup = floorColorGroup_;
  elementSettings_.panelRouting = false;  // no bit of the record names it
  iApplicationSettings::Install(&elementSettings_);
  iNumberLabelOption::Install(&gNumberLabels);
  PrintResolutionHook::Install([] { return ShellSettings::Current().PrintResolution(); });
}

void ShellSettings::SetColorGroups(int32_t wall, int32_t floor) {
  wallColorGroup_ = elementSettings_.wallColorGroup = wall;
  floorColorGroup_ = elementSettings_.floorColorGroup = floor;
}
