// The floor's construction, its walls and outline, its properties, panels, record and the element
// operations it replaces. The room shapes are in qxFloorElementShape.cpp, drawing and slab in
// qxFloorElementDrawing.cpp.
#include "room/qxFloorElement.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxSceneFil.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "database/ppDatafile.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/MenuCheckState.h"
#include "elements/base/PlanAnnotation.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/PlanPressPass.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/topview/iConfigurator.h"
#include "foundation/LengthText.h"
#include "foundation/TextsById.h"
#include "foundation/UserPreferences.h"
#include "framework/ppMouseTask.h"
#include "room/ppDelayedTask.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxNewRoomTask.h"
#include "room/qxRoomSegment.h"
#include "room/qxWallElement.h"
#include "room/zelvproRoomButtons.h"
#include "scene3d/objects/qx3DObject.h"

namespace {

enum Property : int32_t { kColor, kTexture, kMeasurement0, kRoomType = 8, kArea, kPropertyCount };
constexpr const char* kPropertyNames[kPropertyCount] = {
    "Color",        "Texture",      "Measurement0", "Measurement1", "Measurement2",
    "Measurement3", "Measurement4", "Measurement5", "RoomType",     "Area"};

// Commands a floor ignores (they would act on a catalogue unit).
constexpr int32_t kIgnoredCommandA = 3042, kIgnoredCommandB = 3045;
// Checked in the frame's menu: element panels are built by the canvas.
constexpr int32_t kCanvasPanelsCommand = 3001;
// Sent after the selection changed.
constexpr int32_t kSelectionChangedCommand = 3083;
// The room type that only deselects the room.
constexpr int32_t kDeselectRoomType = 12;
constexpr float kLargestMeasurement = 500000.0f;  // millimetres; larger typed dimensions are ignored
constexpr float kMeasurementNudge = 0.3f;         // millimetres added to a typed dimension
constexpr double kSquareFeetPerSquareMetre = 10.7639104;

// The texture travels as a record id in dbId form (the database's rule).
int32_t DatabaseNumber(const zelvDatabase* db) { return db != nullptr ? db->Identifier() : 0; }

// Percent colour as 0xRRGGBB00 and back.
int32_t PackColorCode(int32_t red, int32_t green, int32_t blue) {
  return int32_t((uint32_t(red & 0xFF) << 24) | (uint32_t(green & 0xFF) << 16) |
                 (uint32_t(blue & 0xFF) << 8));
}
void SplitColorCode(int32_t code, int32_t& red, int32_t& green, int32_t& blue) {
  red = int32_t((uint32_t(code) >> 24) & 0xFF);
  green = int32_t((uint32_t(code) >> 16) & 0xFF);
  blue = int32_t((uint32_t(code) >> 8) & 0xFF);
}

void RedrawViews() { zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true); }

// Index `i` moved by `step` around a ring of `count`.
int32_t Wrap(int32_t i, int32_t step, int32_t count) { return ((i + step) % count + count) % count; }

// The first face whose wall body's face starts (or ends) at `point`; 0 when none does.
int32_t FaceOfWallAt(const qxLineCycle& cycle, const ppVector3& point, bool matchStart) {
  for (int32_t i = 0; i < cycle.EdgeCount(); ++i) {
    const qxWallElement* wall = cycle.EdgeAt(i)->wall;
    if (wall != nullptr && (matchStart ? wall->Edge().start : wall->Edge().end) == point) return i;
  }
  return 0;
}

}  // namespace

// ---- Construction.

qxFloorElement::qxFloorElement(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
                               zelvproShapeFil& shapes)
    : zelvproTopViewElement(recordId, parent, frame, record, shapes) {
  Init();
  defaultHeight_ = 2300.0f;
  defaultDepth_ = 300.0f;
  // The click clock of a new floor starts at its creation.
  lastClickTime = ppMouseTask::GetTicks();
  InvalidateTree();
  textureId_ = 0;
  if (database != nullptr && iApplicationSettings::Current().floorColorGroup != 0) {
    zelvproColorCatalogFil& colours = database->ColorCatalogFile();
    SelectFloorTextures(colours);
    if (colours.GetSelectedCount() > 0) textureId_ = colours.RecordIdAt(0);
  }
  locked = 1;
}

qxFloorElement::qxFloorElement(ppView* parent, ppDatafile& module, bool refresh)
    : zelvproTopViewElement(parent, module, refresh) {
  Init();
  lastClickTime = 0;
  const char* r = module.GetRecordBuffer();
  red_ = RecordField(module, "colorBred").Long(r);
  green_ = RecordField(module, "colorBgreen").Long(r);
  blue_ = RecordField(module, "colorBblue").Long(r);
  if (auto* canvas = dynamic_cast<qxNewRoomCanvas*>(GetCanvas()))
    cycle_ = canvas->FindCycleById(RecordField(module, "under").Long(r));
  if (cycle_ != nullptr) cycle_->floor = this;
  textureId_ = RecordField(module, "color").Long(r);
  roomTemplate_ = RecordField(module, "extraB").Long(r);
  Handle path = RecordField(module, "privateData3").Data(r);
  if (const int32_t size = MemGetSize(path); size > 0) {
    outline_.FreeRecords();
    outline_.Reset();
    MemSetSize(outline_.Records(), uint32_t(size));
    std::memcpy(*outline_.Records(), *path, size_t(size));
  }
  locked = 1;
  if (!refresh) Deselect(false);
  Invalidate();
}

qxFloorElement::~qxFloorElement() = default;

void qxFloorElement::Init() {
  locked = 0;
  red_ = green_ = blue_ = 80;
  kind = kKind;
}

void qxFloorElement::CopyAttributes(const qxFloorElement& other) {
  locked = other.locked;
  red_ = other.red_, green_ = other.green_, blue_ = other.blue_;
  textureId_ = other.textureId_;
  kind = other.kind;
  // A room rebuilt after an edit is still the template's room while its outline keeps that kind
  // (walls moved or stretched); a wall added, taken away or arched otherwise makes it a room of its own.
  roomTemplate_ = other.roomTemplate_ != 0 && other.OutlineKind() == OutlineKind() ? other.roomTemplate_ : 0;
}

void qxFloorElement::SelectFloorTextures(zelvproColorCatalogFil& colours) {
  colours.SelectAllByIndex(1);
  const int32_t group = iApplicationSettings::Current().floorColorGroup;
  colours.Select(RecordField(colours, "colorGroup").Index(), '&', 1, &group, &group);
}

// ---- The room's walls and outline.

void qxFloorElement::SetRoom(qxLineCycle* cycle) {
  cycle_ = cycle;
  if (cycle == nullptr || cycle->EdgeCount() == 0) return;
  MemLock(cycle->edges);
  outline_.FreeRecords();
  outline_.Reset();
  const WallEdge& first = *cycle->EdgeAt(0);
  outline_.MoveToF(first.start.x, first.start.z);
  for (int32_t i = 0; i < cycle->EdgeCount(); ++i) {
    WallEdge& edge = *cycle->EdgeAt(i);
    qxWallElement* wall = NewWall(edge);
    if (wall != nullptr) {
      if (edge.segment != nullptr) wall->SetHeight(edge.segment->GetHeight());
      edge.wall = wall;
      wall->InvalidateTree();
    }
    if (edge.arched)
      outline_.ArcAroundTo(edge.centre.x, edge.centre.z, edge.clockwise ? 0 : 1, edge.end.x, edge.end.z);
    else
      outline_.LineToF(edge.end.x, edge.end.z);
    if (wall != nullptr) wall->RebuildGeometry();
  }
  outline_.End();
  MemUnlock(cycle->edges);
  Invalidate();
}

qxWallElement* qxFloorElement::NewWall(const WallEdge& edge) {
  if (database == nullptr || shapeFile == nullptr) return nullptr;
  zelvproTopViewFil& topViews = database->TopViewFile();
  topViews.ReadRecord(recordId, nullptr);
  return new qxWallElement(recordId, this, plat::RECT{0, 0, 0, 0}, topViews.GetRecordBuffer(), *shapeFile,
                           edge);
}

void qxFloorElement::AdoptWallsFrom(qxFloorElement* previous, const ppVector3& point, bool matchStart,
                                    int32_t mode) {
  if (previous == nullptr || cycle_ == nullptr || previous->cycle_ == nullptr) return;
  const qxLineCycle& mine = *cycle_;
  const qxLineCycle& theirs = *previous->cycle_;
  const int32_t count = mine.EdgeCount(), otherCount = theirs.EdgeCount();
  if (count == 0 || otherCount == 0) return;
  const int32_t start = FaceOfWallAt(mine, point, matchStart);
  const int32_t otherStart = FaceOfWallAt(theirs, point, matchStart);
  auto copy = [&](int32_t i, int32_t j) {
    if (qxWallElement* wall = mine.EdgeAt(i)->wall) wall->CopyFrom(theirs.EdgeAt(j)->wall);
  };
  auto continues = [&](int32_t i, int32_t j) {
    return mode <= 0 || mine.EdgeAt(i)->SharesEndAndSlope(*theirs.EdgeAt(j), mode >= 2);
  };
  copy(start, otherStart);
  for (int32_t i = Wrap(start, 1, count), j = Wrap(otherStart, 1, otherCount); i != start && continues(i, j);
       i = Wrap(i, 1, count), j = Wrap(j, 1, otherCount))
    copy(i, j);
  if (mode <= 0) return;
  for (int32_t i = Wrap(start, -1, count), j = Wrap(otherStart, -1, otherCount);
       i != start && continues(i, j); i = Wrap(i, -1, count), j = Wrap(j, -1, otherCount))
    copy(i, j);
}

void qxFloorElement::GetOutlineExtent(ppVector2& size) const {
  ppVector2 most(0.0f, 0.0f), least(3.4028235e38f, 3.4028235e38f);
  if (cycle_ != nullptr) {
    for (int32_t i = 0; i < cycle_->EdgeCount(); ++i) {
      const WallEdge& edge = *cycle_->EdgeAt(i);
      for (const ppVector3& p : {edge.start, edge.end}) {
        most.x = std::max(most.x, p.x), most.y = std::max(most.y, p.z);
        least.x = std::min(least.x, p.x), least.y = std::min(least.y, p.z);
      }
    }
  }
  size = ppVector2(most.x - least.x, most.y - least.y);
}

// ---- Area.

std::string qxFloorElement::AreaText() {
  double sum = 0.0;
  if (std::unique_ptr<qx3DObject> slab{BuildFloorObject(nullptr, nullptr)}) {
    const std::vector<ppVector2>& points = slab->outline;
    for (size_t i = 0; i < points.size(); ++i) {
      const ppVector2& a = points[i];
      const ppVector2& b = points[(i + 1) % points.size()];
      sum += double(a.x * b.y);
      sum -= double(a.y * b.x);
    }
  }
  double area = std::abs(sum / 2000000.0);
  const bool imperial = Preferences().unitSystem == kUnitImperial;
  if (imperial) area *= kSquareFeetPerSquareMetre;
  // A comma for the decimals whatever the user's settings. The suffixes are narrow Windows-1252
  // text: 0xB2 is the superscript two.
  return ppParameter(area).ToString(-1, 1, 0, 0, ",.", 0) + (imperial ? " ft\xB2" : " m\xB2");
}

// ---- Room type.

void qxFloorElement::ChangeRoomType(int32_t type) {
  if (type == kDeselectRoomType) {
    PostRoomTask(nullptr);
    return;
  }
  if (type == ShownRoomType() || database == nullptr) return;
  qxSceneFil scenes(*database);
  scenes.Select(scenes.IndexOf("id"), 1, ppParameter(type), ppParameter(type), '#');
  // A type without a template does nothing (the current record would be some other room).
  if (scenes.GetItemCount() == 0) return;
  scenes.GoToItem(0);
  Handle scene = RecordField(scenes, "scene").Data(scenes.GetRecordBuffer());
  if (scene == nullptr) return;
  PostRoomTask(new qxNewRoomTask(scene, type));
}

void qxFloorElement::PostRoomTask(ppTask* task) { new ppDelayedTask(task, GetCanvas()); }

// ---- Properties.

int32_t qxFloorElement::IndexOf(const Vcon::String& name) {
  for (int32_t i = 0; i < kPropertyCount; ++i)
    if (name == kPropertyNames[i]) return i;
  return iProperty::IndexOf(name);
}

void qxFloorElement::GetPropertyName(Vcon::String& out, int32_t index) {
  out = index >= 0 && index < kPropertyCount ? Vcon::String(kPropertyNames[index]) : Vcon::String();
}

int32_t qxFloorElement::GetPropertyCount() { return kPropertyCount; }

ppParameter qxFloorElement::GetValue(int32_t index) {
  if (index >= kMeasurement0 && index < kMeasurement0 + kMeasurements) {
    ComputeMeasurements();
    Vcon::WString text;
    FormatLength(Measurement(index - kMeasurement0), text, 0);
    return ppParameter(text);
  }
  switch (index) {
    case kColor:
      return ppParameter(PackColorCode(red_, green_, blue_));
    case kTexture:
      return ppDatafile::DbIdValue(textureId_, DatabaseNumber(database));
    case kRoomType:
      return ppParameter(ShownRoomType());
    case kArea:
      return ppParameter(Vcon::String(AreaText()));
    default:
      return iProperty::GetValue(index);
  }
}

void qxFloorElement::SetValue(int32_t index, const ppParameter& value) {
  if (index >= kMeasurement0 && index < kMeasurement0 + kMeasurements) {
    float length = 0.0f;
    if (ParseLength(length, value.AsWString()) && length <= kLargestMeasurement)
      SetMeasurement(index - kMeasurement0, length + kMeasurementNudge, false);
    return;
  }
  switch (index) {
    case kColor:
      SplitColorCode(value.ToLong(), red_, green_, blue_);
      return ShowNewLook();
    case kTexture: {
      const int32_t id = ppDatafile::RecordIdOfDbId(value.ToLong(), DatabaseNumber(database));
      if (id < 0) return;
      textureId_ = id;
      return ShowNewLook();
    }
    case kRoomType:
      ChangeRoomType(value.ToLong());
      return;
    default:
      return;
  }
}

// A colour or texture chosen for the floor is saved with the plan: the save question asks about it.
void qxFloorElement::ShowNewLook() {
  InvalidateTree();
  RedrawViews();
  iElementHost::Current().MarkDocumentModified();
}

// ---- Panels.

void qxFloorElement::BuildInfoPanel(qxViewHolder* source) {
  if (IsMenuCommandChecked(kCanvasPanelsCommand) || iApplicationSettings::Current().panelRouting) {
    if (zelvproCanvas* canvas = GetCanvas()) canvas->BuildInfoPanel(source);
    return;
  }
  iConfigurator& configurator = iConfigurator::Current();
  configurator.RemoveAll();
  auto panel = std::make_unique<ConfigPanel>();
  panel->name = TextById(6310, "Floor");
  iProperty* target = source != nullptr ? static_cast<iProperty*>(source) : static_cast<iProperty*>(this);
  ConfigField colour;
  colour.kind = ConfigField::kColour;
  colour.target = target;
  colour.property = "Color";
  colour.undoable = true;
  colour.text = TextById(6311, "Color");
  colour.SetMargins(10, 15, 10, 5);
  panel->fields.push_back(std::move(colour));
  if (iApplicationSettings::Current().floorColorGroup != 0) {
    zelvDatabase* catalogue = MainCatalogDatabase != nullptr ? MainCatalogDatabase : database;
    if (catalogue != nullptr) {
      auto textures = std::make_unique<zelvproColorCatalogFil>(*catalogue);
      SelectFloorTextures(*textures);
      ConfigField selector;
      selector.kind = ConfigField::kSelector;
      selector.target = target;
      selector.property = "Texture";
      selector.undoable = true;
      selector.list = std::move(textures);
      selector.columns = {"dbId", "texture0.texture", "number", "tname"};
      selector.rows = 2, selector.pictureFlag = 1, selector.optionFlag = 1;
      selector.unitFlag = 0, selector.compactFlag = 0;
      selector.text = TextById(6312, "Texture");
      selector.SetMargins(10, 5, 10, 5);
      panel->fields.push_back(std::move(selector));
    }
  }
  configurator.AddPanel(std::move(panel));
  configurator.PlaceTabs();
}

void qxFloorElement::BuildRoomSection(ConfigPanel& panel) {
  ConfigField area;
  area.kind = ConfigField::kText;
  area.text = TextById(6368, "");
  area.text += Vcon::WString(Vcon::String(AreaText()));
  area.SetMargins(10, 10, 10, 0);
  panel.fields.push_back(std::move(area));
  ComputeMeasurements();
  const int32_t count = GetMeasurementCount();
  for (int32_t k = 0; k < count && k < kMeasurements; ++k) {
    ConfigField field;
    field.kind = ConfigField::kEditText;
    field.target = this;
    field.property = Vcon::String("Measurement") + Vcon::String(std::to_string(k));
    field.undoable = false;
    field.selectAll = true;
    field.text = Vcon::WString(char16_t(u'A' + k));
    field.text += u"  =";
    field.columnWidth = 40;
    field.SetMargins(10, k == 0 ? 15 : 5, 10, 5);
    panel.fields.push_back(std::move(field));
  }
}

// ---- Record.

void qxFloorElement::WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) {
  zelvproTopViewElement::WriteRecord(record, renumber, parentNumber);
  char* r = record.GetRecordBuffer();
  RecordField(record, "type").SetLong(r, kKind);
  RecordField(record, "locked").SetLong(r, locked);
  RecordField(record, "colorBred").SetLong(r, red_);
  RecordField(record, "colorBgreen").SetLong(r, green_);
  RecordField(record, "colorBblue").SetLong(r, blue_);
  RecordField(record, "color").SetLong(r, textureId_);
  RecordField(record, "under").SetLong(r, cycle_ != nullptr ? cycle_->id : 0);
  RecordField(record, "extraB").SetLong(r, roomTemplate_);
  if (Handle path = RecordField(record, "privateData3").Data(r)) {
    const Handle own = outline_.Records();
    const int32_t size = MemGetSize(own);
    MemSetSize(path, uint32_t(size));
    if (size > 0) std::memcpy(*path, *own, size_t(size));
  }
}

// ---- Element operations.

void qxFloorElement::DoCommand(int32_t command, intptr_t parameter) {
  if (command == kIgnoredCommandA || command == kIgnoredCommandB) return;
  zelvproTopViewElement::DoCommand(command, parameter);
}

bool qxFloorElement::IsDoubleClick(int32_t x, int32_t y) {
  // A floor lies beneath everything else: it takes a press only when no other element has.
  if (iApplicationSettings::Current().panelRouting || DrawWallsMode || FirstPressPass()) return false;
  return zelvproTopViewElement::IsDoubleClick(x, y);
}

// The floor's region united with its walls' regions, asked one region at a time: a point lies in a
// union exactly when it lies in one of its parts, and a hit test on every mouse move should not grow
// one region over the whole outline. The walls are those of the floor's own cycle: the cycles after
// it in the canvas's chain are its outer cycle, with the same walls, and the other rooms' cycles,
// whose walls are not this floor's (a floor answered for every later room's walls, and a move over
// a plan of n rooms asked about n squared walls).
bool qxFloorElement::ContainsPoint(int32_t x, int32_t y) {
  // The own region is kept for the frame's corner, the plan scale and the outline's records.
  plat::RECT frame{};
  GetWindowFrame(&frame);
  const double scale = PlanScale();
  const double mapping[] = {double(frame.left), double(frame.top), scale};
  const Handle records = outline_.Records();
  const size_t outlineBytes = records != nullptr ? size_t(MemGetSize(records)) : 0;
  hitRegion_.Get(mapping, sizeof mapping, outlineBytes > 0 ? *records : nullptr, outlineBytes,
                 [&](ppRegion& region) { region.Union(*GetFrameRegion()); });
  if (hitRegion_.Contains(x, y)) return true;
  const plat::POINT origin = PlanPixelOrigin();
  if (cycle_ == nullptr) return false;
  for (int32_t i = 0; i < cycle_->EdgeCount(); ++i) {
    qxRoomSegment* segment = cycle_->EdgeAt(i)->segment;
    if (segment != nullptr && segment->ContainsPointMapped(x, y, scale, origin)) return true;
  }
  return false;
}

void qxFloorElement::Select(bool refresh) {
  SetStateBitsTree(kSelectedState);
  if (selected == 0) {
    selected = 1;
    Invalidate();
    for (qxViewHolder* link = Associates(); link != nullptr; link = link->Next())
      link->Element()->Select(refresh);
    if (ppEventHandler* handler = iElementHost::Current().Canvas3D())
      handler->DoCommand(kSelectionChangedCommand, 0);
    if (refresh) RedrawViews();
  }
  if (zelvproCanvas* canvas = GetCanvas()) canvas->ScheduleUpdate();
}

zelvproElement* qxFloorElement::NearestSnap(const SnapAnchor& query, SnapAnchor& out, float& best,
                                            int32_t& index, zelvproElement* asker, uint32_t flags) {
  if (query.code != 0) return zelvproTopViewElement::NearestSnap(query, out, best, index, asker, flags);
  index = 0;
  zelvproElement* found = nullptr;
  ForEachChildElement(*this, [&](zelvproElement* child) {
    float distance = best;
    int32_t anchor = index;
    SnapAnchor point;
    if (child->NearestSnap(query, point, distance, anchor, asker, flags) != nullptr) {
      found = child;
      best = distance, index = anchor, out = point;
    }
  });
  return found;
}

int32_t qxFloorElement::ValidateColorRecord(int32_t id, int32_t /*group*/) {
  return database != nullptr && database == MainCatalogDatabase ? id : 0;
}

void qxFloorElement::CollectDimensionLines(std::vector<PlanAnnotation>& list) {
  ForEachChildElement(*this, [&](zelvproElement* wall) { wall->CollectDimensionLines(list); });
}

void qxFloorElement::InvalidateGeometry() {
  // The floor is drawn beneath every other element of its supervisor.
  if (ppView* supervisor = GetSupervisor()) {
    DetachFromSupervisor();
    supervisor->InsertSubview(this, 0);
  }
  InvalidateTree();
}
