// The application record's values as the rest of the run reads them: the switches of "flags1" and
// "flags2" one by one, the help file, the price-list output file, the preferences layout, the
// starting palette page, the default colour groups and the 3D print resolution. ShellSettings::Apply
// fills them at start-up, before the catalogue browser loads; every reader then asks Current().
//
// Process-wide; written and read on the user-interface thread only. The desktop's reset list puts
// the defaults back.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "elements/base/iApplicationSettings.h"
#include "foundation/VconString.h"

class qxApplicationFil;

class ShellSettings {
 public:
  // One switch per flag bit the program reads.
  enum Flag : int32_t {
    kSecondPriceOption,   // flags1 0x00000002: the price list shows the second price pair
    kMergeLinesOption,    // flags1 0x00000080: plan lines merge by article
    kDiscountFields,      // flags1 0x00000200: the line panel shows the discount fields
    kCalculationBar,      // flags1 0x00000400: the calculation canvas has its button bar
    kViewMenuOption,      // flags1 0x00040000: the price list passes command 3001 on
    kPaletteOptionA,      // flags1 0x02000000: document window and element palette
    kNewRoomOption,       // flags1 0x04000000: the new-room canvas
    kEditorCanvasOption,  // flags1 0x08000000: the editor canvas and the walls
    kEditorOption,        // flags1 0x10000000: the editor
    kPaneLayoutOption,    // flags1 0x20000000: document window, layer palette, logo and configurator panes
    kPriceListTotals,     // flags1 0x40000000: the price list shows and keeps its totals line
    kWallFloorOption,     // flags1 0x80000000: wall and floor elements
    kConfiguratorOption,  // flags2 0x00000001
    kCalculationOption,   // flags2 0x00000002: no calculation line panel on selection
    kInfoPanelOption1,    // flags2 0x00000004 to 0x00000100 (without 0x20): information panel rows
    kInfoPanelOption2,
    kInfoPanelOption3,
    kInfoPanelOption4,
    kInfoPanelOption5,
    kInfoPanelOption6,
    kTopCanvasOption,      // flags2 0x00000020
    kElementOption,        // flags2 0x00000200
    kHighResolutionPrint,  // flags2 0x00000400: the 3D print renders at 300 dots per inch
    kGridOption,           // flags2 0x00001000: also makes the browser read its texts from records
    kPrintLayoutDump,      // flags2 0x00002000
    kFrameLock,            // flags2 0x00020000
    kNumbering,            // flags2 0x00040000: units are renumbered after edits
    kElementOptionB,       // flags2 0x00080000
    kServerSave,           // flags2 0x00100000: Save goes to the document server
    kFlagCount
  };

  struct FlagBit {
    Flag flag;
    bool inFlags2;  // else flags1
    uint32_t bit;
  };
  // Every switch with its word and bit, in the order they are copied.
  static const std::array<FlagBit, kFlagCount>& FlagTable();

  static constexpr int32_t kDefaultPrintResolution = 180;  // dots per inch
  static constexpr int32_t kHighPrintResolution = 300;

  bool IsOn(Flag flag) const { return flags_[size_t(flag)]; }
  uint32_t Flags1() const { return flags1_; }
  uint32_t Flags2() const { return flags2_; }
  // Dots per inch of the 3D view's print rendering.
  int32_t PrintResolution() const { return printResolution_; }
  // The help file; empty: the program has no help.
  const Vcon::WString& HelpFile() const { return helpFile_; }
  // The file the price list is written to (command -23), narrow.
  const Vcon::String& PriceListOutput() const { return priceListOutput_; }
  // The record's "webSite": the order service's host (a web address gives its host to the order).
  const Vcon::String& WebSite() const { return webSite_; }
  // Whether the preferences dialog offers the second currency (template 121, else 1118).
  bool ExtendedSettings() const { return extendedSettings_; }
  int32_t StartPage() const { return startPage_; }
  // Colour-group ids of the textures walls and floors offer (0: none).
  int32_t WallColorGroup() const { return wallColorGroup_; }
  int32_t FloorColorGroup() const { return floorColorGroup_; }
  int32_t PopFieldHeight() const { return elementSettings_.popFieldHeight; }
  int32_t PopListHeight() const { return elementSettings_.popListHeight; }
  // The elements' view of these settings (installed by Apply).
  const iApplicationSettings& ElementSettings() const { return elementSettings_; }

  // Reads the application record held in `file`'s buffer: the values above, the frame lock and
  // title and the two words of the framework, the elements' settings (installed), the browser's
  // text source switch and the number-label option (installed).
  void Apply(qxApplicationFil& file);
  // Takes the colour groups once start-up resolved them to record ids.
  void SetColorGroups(int32_t wall, int32_t floor);

  static ShellSettings& Current();

 private:
  std::array<bool, kFlagCount> flags_{};
  uint32_t flags1_ = 0, flags2_ = 0;
  int32_t printResolution_ = kDefaultPrintResolution;
  Vcon::WString helpFile_;
  Vcon::String priceListOutput_;
  Vcon::String webSite_;
  bool extendedSettings_ = false;
  int32_t startPage_ = 0;
  int32_t wallColorGroup_ = 0, floorColorGroup_ = 0;
  iApplicationSettings elementSettings_;
};
