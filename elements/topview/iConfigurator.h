// What the elements ask of the configurator (the tabbed panel of the configurator pane): its tabs
// are emptied and filled with panels of rows, each row a field described here. The program's
// configurator is served by zelvproElementConfigurator, which start-up installs; the field classes
// come later. Until something is installed nothing is shown.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/VconString.h"
#include "foundation/Vcon_HandleManager.h"
#include "platform/WindowTypes.h"

class iProperty;
class ppCollaborator;
class ppDatafile;

// One row of a panel. Which members count depends on the kind.
struct ConfigField {
  // kColour: a colour chooser that edits its property as one integer 0xRRGGBB00 (percent).
  enum Kind { kText, kButton, kPicture, kEditText, kSelector, kDivider, kColour };

  Kind kind = kText;
  Vcon::WString text;                 // a text row's text, or the caption of the other kinds
  int32_t margins[4] = {0, 0, 0, 0};  // left, top, right, bottom, in pixels
  int32_t columnWidth = 0;
  // The property the field edits (edit fields and selectors); the target is not owned.
  iProperty* target = nullptr;
  Vcon::String property;
  bool undoable = false;
  bool selectAll = false;  // edit fields: the whole text starts selected
  // Buttons.
  int32_t commandId = 0;
  Vcon::String name;
  // Pictures: a copy, owned by the field.
  Handle picture = nullptr;
  // Selectors: the list source (owned by the field) and its columns, then the constructor arguments
  // and the settings made after construction.
  std::unique_ptr<ppDatafile> list;
  std::vector<Vcon::String> columns;
  int32_t rows = 0, pictureFlag = 0, optionFlag = 0, unitFlag = 0, compactFlag = 0;
  int32_t listRows = 0;
  bool noPictureInList = false;

  ConfigField() = default;
  ConfigField(ConfigField&&) noexcept;
  void SetMargins(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    margins[0] = left, margins[1] = top, margins[2] = right, margins[3] = bottom;
  }
  ConfigField& operator=(ConfigField&&) noexcept;
  ~ConfigField();
};

struct ConfigPanel {
  Vcon::WString name;
  std::vector<ConfigField> fields;
};

class iConfigurator {
 public:
  virtual ~iConfigurator() = default;
  // The names of the selected tab and its nested selections, to be selected again after a rebuild.
  virtual Vcon::String SelectionPath() { return {}; }
  virtual void SelectPath(const Vcon::String& /*path*/) {}
  virtual void RemoveAll() {}
  // Writes what was typed into the focused field to its property, before a press elsewhere changes
  // the selection and the panels are rebuilt for another element. False: the field refused it.
  virtual bool CommitInput() { return true; }
  virtual void AddPanel(std::unique_ptr<ConfigPanel> /*panel*/) {}
  virtual void PlaceTabs() {}
  // A press at the configurator's top-left corner, which gives it the keyboard focus.
  virtual void PressAtOrigin() {}
  // Keeps `object` with the tabs; it is deleted with them.
  virtual void PushObject(std::unique_ptr<ppCollaborator> /*object*/) {}
  // Redraws the configurator pane (a shown element's values changed).
  virtual void Repaint() {}
  // The window of the configurator, where work that must wait for its pending messages is posted;
  // null when there is none.
  virtual plat::HWND Window() { return nullptr; }
  // The configurator pane's press at its (0, 0).
  virtual void PressPane() {}

  // The installed configurator, or a neutral one; never null.
  static iConfigurator& Current();
  // Installs `configurator` (null: the neutral one again). Not owned.
  static void Install(iConfigurator* configurator);
};
