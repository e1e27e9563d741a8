// Room properties and the room panel.
#include <cmath>
#include <memory>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/qxSceneFil.h"
#include "database/HandleList.h"
#include "elements/base/iElementHost.h"
#include "elements/topview/iConfigurator.h"
#include "foundation/LengthText.h"
#include "foundation/TextsById.h"
#include "platform/ResetList.h"
#include "room/qxNewRoomCanvas.h"

#include "room/qxFloorElement.h"

namespace {

// Whether the room plan shows the element numbers; read by the plan drawing. User-interface thread.
bool gShowNumbers = false;
[[maybe_unused]] const bool kReset = plat::ResetList::Add("room show numbers", [] { gShowNumbers = false; });

enum Property {
  kWallHeight,
  kWallThickness,
  kGridEnabled,
  kGridSize,
  kAllHeights,
  kAllThicknesses,
  kShowNumbers
};
const char* const kNames[] = {"WallHeight",     "WallThickness",      "GridEnabled", "GridSize",
                              "AllWallHeights", "AllWallThicknesses", "ShowNumbers"};
constexpr int32_t kOwnCount = 7;

// Millimetres. A negative thickness would swap the faces of every new wall; 10 is the thinnest wall.
constexpr float kMaxHeight = 100000.0f, kMinThickness = 10.0f, kMaxThickness = 5000.0f;

float ClampHeight(float mm) { return mm < 0.0f ? 0.0f : std::fmin(mm, kMaxHeight); }
float ClampThickness(float mm) { return mm < 0.0f ? kMinThickness : std::fmin(mm, kMaxThickness); }

float LengthOf(const ppParameter& value) {
  float mm = 0.0f;
  ParseLength(mm, value.AsWString());
  return mm;
}

ppParameter LengthText(float mm) {
  Vcon::WString text;
  FormatLength(mm, text);
  return ppParameter(text);
}

// A customisation text row: only when text `id` exists and is not empty in the current language.
void AddTextRow(ConfigPanel& panel, int32_t id) {
  Vcon::WString text;
  if (!GetTextById(id, text) || text.empty()) return;
  ConfigField field;
  field.kind = ConfigField::kText;
  field.text = text;
  field.SetMargins(10, 5, 10, 0);
  panel.fields.push_back(std::move(field));
}

// The room shapes of the catalogue, every scene record but the last, to set the floor's "RoomType".
void AddRoomShapeSelector(ConfigPanel& panel, zelvproElement& floor, zelvDatabase* database) {
  if (database == nullptr) return;
  auto scenes = std::make_unique<qxSceneFil>(*database);
  scenes->SelectAll();
  const uint32_t count = HandleList::Count(scenes->GetSelection());
  if (count > 0) HandleList::SetCount(scenes->GetSelection(), count - 1);
  ConfigField field;
  field.kind = ConfigField::kSelector;
  field.target = &floor;
  field.property = "RoomType";
  field.list = std::move(scenes);
  field.columns = {"id", "preview.preview", "", ""};
  field.rows = 2, field.pictureFlag = 1, field.optionFlag = 1, field.unitFlag = 0, field.compactFlag = 0;
  field.text = TextById(6318, "Room Shape");
  field.SetMargins(10, 5, 10, 5);
  panel.fields.push_back(std::move(field));
}

void AddWallHeightField(ConfigPanel& panel, iProperty& canvas) {
  ConfigField field;
  field.kind = ConfigField::kEditText;
  field.target = &canvas;
  field.property = kNames[kAllHeights];
  field.undoable = true;
  field.selectAll = true;
  field.text = TextById(6319, "Wall Height");
  field.columnWidth = 40;
  field.SetMargins(10, 10, 10, 5);
  panel.fields.push_back(std::move(field));
}

// The floor adds its area and the room's dimensions.
void AddFloorRoomSection(ConfigPanel& panel, zelvproElement& floor) {
  if (auto* f = dynamic_cast<qxFloorElement*>(&floor)) f->BuildRoomSection(panel);
}

// Every wall body takes the room-wide value (channel 1004 carries a pointer to the canvas's float),
// then the room is rebuilt and redrawn.
void ApplyToAllWalls(qxNewRoomCanvas& canvas, int32_t message, float* millimetres) {
  canvas.Broadcast(qxNewRoomCanvas::kWallChannel, message, reinterpret_cast<intptr_t>(millimetres));
  canvas.DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
  canvas.DoCommand(qxNewRoomCanvas::kRefresh3D, 0);
  canvas.Invalidate();
  iElementHost& host = iElementHost::Current();
  zelvproElement::InvalidateElement(host.ScenePane(), true);
  // Every wall changed, whether typed in the panel or given back by its Undo or Redo.
  host.MarkDocumentModified();
}

// The canvas's own defaults are saved with the plan: a changed one is a change to ask about.
void StoreDefault(float& field, float millimetres) {
  if (field == millimetres) return;
  field = millimetres;
  iElementHost::Current().MarkDocumentModified();
}

}  // namespace

int32_t qxNewRoomCanvas::IndexOf(const Vcon::String& name) {
  for (int32_t i = 0; i < kOwnCount; ++i)
    if (name == kNames[i]) return zelvproTopCanvas::GetPropertyCount() + i;
  return zelvproTopCanvas::IndexOf(name);
}

void qxNewRoomCanvas::GetPropertyName(Vcon::String& out, int32_t index) {
  const int32_t own = index - zelvproTopCanvas::GetPropertyCount();
  if (own < 0 || own >= kOwnCount) return zelvproTopCanvas::GetPropertyName(out, index);
  out = kNames[own];
}

int32_t qxNewRoomCanvas::GetPropertyCount() { return zelvproTopCanvas::GetPropertyCount() + kOwnCount; }

ppParameter qxNewRoomCanvas::GetValue(int32_t index) {
  switch (index - zelvproTopCanvas::GetPropertyCount()) {
    case kWallHeight:
    case kAllHeights:
      return LengthText(wallHeight);
    case kWallThickness:
    case kAllThicknesses:
      return LengthText(wallThickness);
    case kGridEnabled:
      return ppParameter(gridEnabled != 0);
    case kGridSize:
      return LengthText(gridSize);
    case kShowNumbers:
      return ppParameter(gShowNumbers);
    default:
      return zelvproTopCanvas::GetValue(index);
  }
}

void qxNewRoomCanvas::SetValue(int32_t index, const ppParameter& value) {
  switch (index - zelvproTopCanvas::GetPropertyCount()) {
    case kWallHeight:
      return StoreDefault(wallHeight, ClampHeight(LengthOf(value)));
    case kWallThickness:
      return StoreDefault(wallThickness, ClampThickness(LengthOf(value)));
    case kAllHeights:
      wallHeight = ClampHeight(LengthOf(value));
      return ApplyToAllWalls(*this, kAllWallHeights, &wallHeight);
    case kAllThicknesses:
      wallThickness = ClampThickness(LengthOf(value));
      return ApplyToAllWalls(*this, kAllWallThicknesses, &wallThickness);
    case kGridEnabled:
      gridEnabled = value.ToBool() ? 1 : 0;
      return GetEditor().Invalidate();
    case kGridSize:
      gridSize = LengthOf(value);
      return GetEditor().Invalidate();
    case kShowNumbers:
      gShowNumbers = value.ToBool();
      return GetEditor().Invalidate();
    default:
      return zelvproTopCanvas::SetValue(index, value);
  }
}

void qxNewRoomCanvas::BuildInfoPanel(qxViewHolder* /*source*/) {
  zelvproElement* floor = FindFloor();
  if (floor != nullptr && !floor->IsSelected()) {
    floor->Select(false);
    // The floor shows its measure labels while it is selected; the panel is built after the task that
    // cleared the selection has drawn, so its invalidation is drawn here.
    zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true);
  }
  iConfigurator& configurator = iConfigurator::Current();
  configurator.RemoveAll();
  auto panel = std::make_unique<ConfigPanel>();
  panel->name = TextById(6315, "Canvas");
  if (floor != nullptr) {
    AddTextRow(*panel, 7001);
    AddTextRow(*panel, 7002);
    AddRoomShapeSelector(*panel, *floor, database);
    AddTextRow(*panel, 7003);
    AddTextRow(*panel, 7004);
    AddWallHeightField(*panel, *this);
    AddFloorRoomSection(*panel, *floor);
  }
  AddTextRow(*panel, 7005);
  AddTextRow(*panel, 7006);
  configurator.AddPanel(std::move(panel));
  configurator.PlaceTabs();
}
