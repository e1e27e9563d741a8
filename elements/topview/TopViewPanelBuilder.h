// Fills the configurator for a top-view element: the information tab (what the unit is, its size,
// price and size fields, the unit selector and one selector per option) and the colour tab (one
// selector per colour code). Which rows appear is decided by the application's flags2, the
// element's flags and its unit's catalogue records. One builder per build; it keeps nothing.
#pragma once

#include <cstdint>
#include <memory>

#include "elements/topview/iConfigurator.h"
#include "foundation/VconString.h"

class iProperty;
class ppDatafile;
class qxViewHolder;
class zelvDatabase;
class zelvproElement;
class zelvproTopViewElement;

class TopViewPanelBuilder {
 public:
  // `chain` (may be null: the element alone) is the selection the selectors and the price edit.
  TopViewPanelBuilder(zelvproTopViewElement& element, qxViewHolder* chain);
  void Build();

 private:
  void ReadStyle();
  // The element whose size fields are edited: of several selected, the one element whose top view
  // has a unit for any access key; otherwise the head.
  void FindSizeTarget();
  void GatherTexts();
  void SplitNote(const Vcon::WString& note);
  void AddText(ConfigPanel& panel, const Vcon::WString& text, int32_t l, int32_t t, int32_t r, int32_t b);
  void AddOptionalText(int32_t id);
  void AddUnitRows();
  void AddWarning();
  void AddSizeAndPrice();
  void AddSizeFields();
  void AddUnitSelector();
  void AddOptionSelectors();
  void AddColourTab();
  void AddColourRows(ConfigPanel& panel);
  // A selector over `list` bound to `property` of the chain, styled by the settings.
  ConfigField Selector(std::unique_ptr<ppDatafile> list, const Vcon::String& property, bool colours,
                       int32_t optionFlag, int32_t unitFlag, const Vcon::WString& caption) const;

  zelvproTopViewElement& element_;
  qxViewHolder* chain_;
  iProperty* target_;  // the chain, or the element alone
  zelvDatabase& db_;
  uint32_t flags2_ = 0;
  int32_t rows_ = 2, pictureFlag_ = 1, listRows_ = 2;
  bool noPictureInList_ = false;
  zelvproElement* sizeTarget_ = nullptr;
  Vcon::WString catalogueName_, unitNumber_, unitName_, width_, height_, depth_, sizeCaption_, sizeText_;
  std::unique_ptr<ConfigPanel> panel_;
};
