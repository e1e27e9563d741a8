#include "elements/units/WallOpeningPanel.h"

#include <memory>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/topview/ScratchRecord.h"
#include "elements/units/zelvproParametricElement.h"
#include "foundation/TextsById.h"

const WallOpeningPanel::Layout WallOpeningPanel::kDoor = {.tabName = "Door",
                                                          .captionText = 6355,
                                                          .textsBeforeSizes = {7300, 7301},
                                                          .textsAfterSizes = {7303, 7304},
                                                          .aboveFloor = false,
                                                          .textsAfterAboveFloor = {}};
const WallOpeningPanel::Layout WallOpeningPanel::kWindow = {.tabName = "Window",
                                                            .captionText = 6358,
                                                            .textsBeforeSizes = {7311, 7312},
                                                            .textsAfterSizes = {7313},
                                                            .aboveFloor = true,
                                                            .textsAfterAboveFloor = {7314, 7315}};
// A structure element shows the window's rows without the window's second text.
const WallOpeningPanel::Layout WallOpeningPanel::kStructure = {.tabName = "Window",
                                                               .captionText = 6358,
                                                               .textsBeforeSizes = {7311},
                                                               .textsAfterSizes = {7313},
                                                               .aboveFloor = true,
                                                               .textsAfterAboveFloor = {7314, 7315}};

void WallOpeningPanel::Build(zelvproParametricElement& element, const Layout& layout) {
  iConfigurator& configurator = iConfigurator::Current();
  configurator.RemoveAll();
  auto panel = std::make_unique<ConfigPanel>();
  panel->name = WideFromNarrow(layout.tabName);
  WallOpeningPanel rows(element, *panel);
  rows.AddCaption(layout.captionText, layout.tabName);
  rows.AddTexts(layout.textsBeforeSizes);
  rows.AddSizeFields();
  rows.AddTexts(layout.textsAfterSizes);
  if (layout.aboveFloor) {
    rows.AddAboveFloor();
    rows.AddTexts(layout.textsAfterAboveFloor);
  }
  configurator.AddPanel(std::move(panel));
  configurator.PlaceTabs();
}

void WallOpeningPanel::AddCaption(int32_t textId, const char* fallback) {
  ConfigField field;
  field.kind = ConfigField::kText;
  if (element_.unitRecordId != 0 && element_.database != nullptr)
    field.text = ScratchRecord(element_.database->UnitFile(), element_.unitRecordId).Wide("tname");
  else
    field.text = TextById(textId, fallback);
  field.SetMargins(10, 5, 10, 15);
  panel_.fields.push_back(std::move(field));
}

void WallOpeningPanel::AddTexts(const std::vector<int32_t>& ids) {
  for (int32_t id : ids) {
    ConfigField field;
    field.kind = ConfigField::kText;
    field.text = TextById(id, "");
    field.SetMargins(10, 5, 10, 0);
    panel_.fields.push_back(std::move(field));
  }
}

void WallOpeningPanel::AddSizeFields() {
  struct Axis {
    uint32_t flag;
    const char* property;
    int32_t label;
    const char* fallback;
  } const axes[] = {{zelvproParametricElement::kStretchWidth, "XDim", 6207, "Width"},
                    {zelvproParametricElement::kStretchHeight, "YDim", 6208, "Height"},
                    {zelvproParametricElement::kStretchDepth, "ZDim", 6209, "Depth"}};
  for (const Axis& axis : axes) {
    if ((element_.flags & axis.flag) == 0) continue;
    AddEdit(axis.property, axis.label, axis.fallback, true).SetMargins(10, 0, 10, 5);
  }
}

void WallOpeningPanel::AddAboveFloor() {
  ConfigField& field = AddEdit("AboveFloor", 6361, "Above floor", false);
  field.SetMargins(10, 5, 10, 5);
  field.selectAll = true;
}

ConfigField& WallOpeningPanel::AddEdit(const char* property, int32_t labelText, const char* fallback,
                                       bool undoable) {
  ConfigField field;
  field.kind = ConfigField::kEditText;
  field.target = &element_;
  field.property = property;
  field.undoable = undoable;
  field.text = TextById(labelText, fallback);
  field.columnWidth = 80;
  panel_.fields.push_back(std::move(field));
  return panel_.fields.back();
}
