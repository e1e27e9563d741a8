// The top-view element's named properties: the fixed table of 39 names, one "Color" k per colour
// group and one "Option" n per option, their reads and writes, the sequence-snap count the
// numbering sorts by, and the close of a notified write.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "catalogue/databases/zelvDatabase.h"
#include "database/ppDatafile.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproClassFil.h"
#include "catalogue/records/zelvproOptionValueFil.h"
#include "catalogue/records/zelvproTagFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/topview/CatalogReads.h"
#include "elements/topview/ScratchRecord.h"
#include "elements/topview/iConfigurator.h"
#include "elements/topview/iCalculationUpdate.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/LengthText.h"
#include "foundation/TolerantMath.h"
#include "framework/ppUndoer.h"
#include "framework/zelvproAccDeleteTask.h"

namespace {

// Index order is part of the interface: "Price" stands twice (the first answers the name) and
// "yPosition" is spelled with a small y.
constexpr const char* kNames[zelvproTopViewElement::kFixedProperties] = {"Width",
                                                                         "Height",
                                                                         "Depth",
                                                                         "XPos",
                                                                         "YPos",
                                                                         "ZPos",
                                                                         "Name",
                                                                         "Price",
                                                                         "Preview",
                                                                         "Thumbnail",
                                                                         "Angle",
                                                                         "Color",
                                                                         "Id",
                                                                         "Tag",
                                                                         "Lock",
                                                                         "Calculate",
                                                                         "InteriorLock",
                                                                         "XDim",
                                                                         "YDim",
                                                                         "ZDim",
                                                                         "lot",
                                                                         "Budget",
                                                                         "Qty",
                                                                         "Diff",
                                                                         "Price",
                                                                         "LockUnit",
                                                                         "DepthID",
                                                                         "Delete",
                                                                         "EnumClass",
                                                                         "EnumGroup",
                                                                         "EnumNumber",
                                                                         "SequenceNumber",
                                                                         "NumberOfSequenceSnaps",
                                                                         "FirstSnapDirection",
                                                                         "Warning",
                                                                         "ShowExtras",
                                                                         "XPosition",
                                                                         "yPosition",
                                                                         "ZPosition"};

enum Fixed : int32_t {
  kWidth,
  kHeight,
  kDepth,
  kXPos,
  kYPos,
  kZPos,
  kName,
  kPrice,
  kPreview,
  kThumbnail,
  kAngle,
  kColor,
  kId,
  kTag,
  kLock,
  kCalculate,
  kInteriorLock,
  kXDim,
  kYDim,
  kZDim,
  kLot,
  kBudget,
  kQty,
  kDiff,
  kPrice2,
  kLockUnit,
  kDepthId,
  kDelete,
  kEnumClass,
  kEnumGroup,
  kEnumNumber,
  kSequenceNumber,
  kSequenceSnaps,
  kFirstSnapDirection,
  kWarning,
  kShowExtras,
  kXPosition,
  kYPosition,
  kZPosition
};

constexpr int32_t kIdScale = ppDatafile::kIdScale;  // tag positions travel as position x 10000 + 1
constexpr uint32_t kNumberedClass = 0x800;          // "qxClass" "flags"
constexpr uint32_t kStretchX = 0x20000000;          // then y and z, one bit up each
constexpr double kSameHeight = 9e-09;               // millimetres, strict
constexpr double kDegreesPerRadian = 180.0 / 3.14159265359;
constexpr uint32_t kPropertyLengthFlags = kLengthInchesOnly;

bool HasValue(const ppParameter& value) { return value.Type() != ppParameter::kNone; }

ppParameter LengthText(float millimetres) {
  Vcon::WString text;
  FormatLength(millimetres, text, kPropertyLengthFlags);
  return ppParameter(text);
}

float ppVector3::*const kAxes[3] = {&ppVector3::x, &ppVector3::y, &ppVector3::z};

void RedrawPlan() { zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true); }

}  // namespace

// ---- Names and indexes.

Vcon::String zelvproTopViewElement::ColourPropertyName(int32_t j) {
  return Vcon::String("Color") + Vcon::String(std::to_string(GroupOfMaskIndex(j, -1)).c_str());
}

int32_t zelvproTopViewElement::IndexOf(const Vcon::String& name) {
  for (int32_t i = 0; i < kFixedProperties; ++i) {
    if (name == kNames[i]) return i;
  }
  const int32_t colourCount = int32_t(colours.size());
  for (int32_t j = 0; j < colourCount; ++j) {
    if (name == ColourPropertyName(j)) return kFixedProperties + j;
  }
  for (size_t m = 0; m < options.size(); ++m) {
    const Vcon::String option =
        Vcon::String("Option") + Vcon::String(std::to_string(options[m].classId).c_str());
    if (name == option) return kFixedProperties + colourCount + int32_t(m);
  }
  return iProperty::IndexOf(name);
}

void zelvproTopViewElement::GetPropertyName(Vcon::String& out, int32_t index) {
  out.clear();
  const int32_t colourCount = int32_t(colours.size());
  if (index < 0 || index >= GetPropertyCount()) return;
  if (index < kFixedProperties) {
    out = kNames[index];
  } else if (index < kFixedProperties + colourCount) {
    out = ColourPropertyName(index - kFixedProperties);
  } else {
    const int32_t classId = options[size_t(index - kFixedProperties - colourCount)].classId;
    out = Vcon::String("Option") + Vcon::String(std::to_string(classId).c_str());
  }
}

int32_t zelvproTopViewElement::GetPropertyCount() {
  return kFixedProperties + int32_t(colours.size()) + int32_t(options.size());
}

// ---- Reads.

namespace {

// The number a catalogue gives its record ids in dbId form (the database's rule: 0 or below names
// them bare, as the catalogue's own choice lists do).
int32_t DatabaseNumber(const zelvDatabase* db) { return db != nullptr ? db->Identifier() : 0; }

}  // namespace

ppParameter zelvproTopViewElement::DbIdValue(int32_t id) const {
  return ppDatafile::DbIdValue(id, DatabaseNumber(database));
}

int32_t zelvproTopViewElement::RecordOfValue(const ppParameter& value) const {
  if (database == nullptr) return -1;
  return ppDatafile::RecordIdOfDbId(value.ToLong(), DatabaseNumber(database));
}

ppParameter zelvproTopViewElement::GetValue(int32_t index) {
  const int32_t colourCount = int32_t(colours.size());
  if (index < 0 || index >= GetPropertyCount()) return iProperty::GetValue(index);
  if (index < kFixedProperties) return GetFixedValue(index);
  if (index < kFixedProperties + colourCount)
    return DbIdValue(GetColorRecordIdClamped(GroupOfMaskIndex(index - kFixedProperties, -1)));
  return DbIdValue(ChosenUnitOfOption(options[size_t(index - kFixedProperties - colourCount)].classId));
}

ppParameter zelvproTopViewElement::EnumClassValue() {
  if (database == nullptr) return ppParameter();
  // The second file keeps the first's current record; the class link is the second "Type" field.
  zelvproTopViewFil& topViews = database->TopViewFile2();
  if (!CatalogReads::Read(topViews, recordId)) return ppParameter();
  const int32_t classRecord = RecordField(topViews, "Type", 1).Long(topViews.GetRecordBuffer());
  const ScratchRecord cls(database->ClassFile(), classRecord);
  if (!cls.Present() || (uint32_t(cls.Long("flags")) & kNumberedClass) == 0) return ppParameter();
  return ppParameter(cls.Long("id"));
}

ppParameter zelvproTopViewElement::GetFixedValue(int32_t index) {
  switch (index) {
    case kWidth:
      return ppParameter(gridWidth);
    case kHeight:
      return ppParameter(gridHeight);
    case kDepth:
      return ppParameter(gridDepth);
    case kXPos:
      return LengthText(position.x);
    case kYPos:
      return LengthText(position.y);
    case kZPos:
      return LengthText(position.z);
    case kName: {
      if (database == nullptr || unitRecordId == 0) return ppParameter(Vcon::WString());
      const ScratchRecord unit(database->UnitFile(), unitRecordId);
      const ScratchRecord value(database->OptionValueFile(), unit.Long("optionValue"));
      return ppParameter(value.Present() ? value.Wide("tname") : unit.Wide("tname"));
    }
    case kPrice:
    case kPrice2:
      return ppParameter(price);
    case kPreview: {
      if (database == nullptr || unitRecordId == 0) return ppParameter();
      const int32_t preview = ScratchRecord(database->UnitFile(), unitRecordId).Long("preview");
      // The picture stays the preview table's (its record buffer), valid until it reads another.
      zelvproPreviewFil& previews = database->UnitFile().PreviewFile();
      if (!CatalogReads::Read(previews, preview)) return ppParameter();
      Handle picture = RecordField(previews, "preview").Data(previews.GetRecordBuffer());
      return MemGetSize(picture) > 0 ? ppParameter(picture) : ppParameter();
    }
    case kAngle:
      return ppParameter(ppParameter(double(angle) * kDegreesPerRadian).AsString());
    case kColor:
      return DbIdValue(GetColorRecordIdClamped(-1));
    case kId:
      return DbIdValue(unitRecordId);
    case kTag: {
      zelvproTagFil* tags = iElementHost::Current().TagTable();
      return ppParameter((tags != nullptr ? tags->IndexOfId(tag) : 0) * kIdScale + 1);
    }
    case kLock:
      return ppParameter(locked != 0);
    case kCalculate:
      return ppParameter(calculate != 0);
    case kInteriorLock:
      return ppParameter(interiorLock != 0);
    case kXDim:
      return LengthText(dimensions.x);
    case kYDim:
      return LengthText(dimensions.y);
    case kZDim:
      return LengthText(dimensions.z);
    case kLockUnit:
      return ppParameter(lockUnits != 0);
    case kDepthId:
      return DbIdValue(linkedRecord);
    case kDelete:
      return ppParameter(1);
    case kEnumClass:
      return EnumClassValue();
    case kEnumGroup:
      return ppParameter(enumGroup);
    case kEnumNumber:
      return ppParameter(enumNumber);
    case kSequenceNumber:
      return ppParameter(sequenceNumber);
    case kSequenceSnaps:
      return ppParameter(CountSequenceSnaps());
    case kFirstSnapDirection:
      CountSequenceSnaps();
      return ppParameter(firstSnapDirection);
    case kWarning:
      return ppParameter(warningNumber);
    case kXPosition:
      return ppParameter(position.x);
    case kYPosition:
      return ppParameter(position.y);
    case kZPosition:
      return ppParameter(position.z);
    default:
      return ppParameter();  // "Thumbnail", "lot", "Budget", "Qty", "Diff", "ShowExtras"
  }
}

// ---- Writes.

void zelvproTopViewElement::SetValue(int32_t index, const ppParameter& value) {
  const int32_t colourCount = int32_t(colours.size());
  if (index < 0 || index >= GetPropertyCount()) return;
  if (index < kFixedProperties) {
    SetFixedValue(index, value);
  } else if (index < kFixedProperties + colourCount) {
    SetGroupColor(GroupOfMaskIndex(index - kFixedProperties, -1), value.ToLong());
    RedrawAndUpdate();
  } else {
    SetOption(options[size_t(index - kFixedProperties - colourCount)].classId, value.ToLong());
    RedrawAndUpdate();
  }
}

void zelvproTopViewElement::SetFixedValue(int32_t index, const ppParameter& value) {
  switch (index) {
    case kWidth:
      gridWidth = value.ToLong();
      break;
    case kHeight:
      gridHeight = value.ToLong();
      break;
    case kDepth:
      gridDepth = value.ToLong();
      break;
    case kXPos:
    case kYPos:
    case kZPos:
      SetLengthOf(kAxes[index - kXPos], value);
      break;
    case kAngle:
      // The number goes to SetAngle as it is (radians), though reading gives degrees.
      SetAngle(value.ToFloat());
      InvalidateTree();
      RedrawPlan();
      break;
    case kColor:
      SetGroupColor(-1, value.ToLong());
      RedrawAndUpdate();
      break;
    case kId:
      SetUnitId(value);
      break;
    case kTag:
      SetTagValue(index, value);
      break;
    case kLock:
      if (value.ToBool() != (locked != 0)) value.ToBool() ? LockTree() : UnlockTree();
      break;
    case kCalculate:
      calculate = value.ToBool() ? 1 : 0;
      break;
    case kInteriorLock:
      SetInteriorLock(value.ToBool());
      break;
    case kXDim:
    case kYDim:
    case kZDim:
      SetDimension(index, value);
      break;
    case kLockUnit:
      lockUnits = value.ToBool() ? 1 : 0;
      break;
    case kDepthId:
      SetDepthId(value);
      break;
    case kDelete:
      DeleteByTask();
      break;
    case kEnumGroup:
      SetRunNumber(enumGroup, "EnumGroup", value);
      break;
    case kEnumNumber:
      // Only a label that changes needs repainting: a renumbering pass writes every unit.
      if (value.ToLong() != enumNumber) Invalidate();
      enumNumber = value.ToLong();
      break;
    case kSequenceNumber:
      SetRunNumber(sequenceNumber, "SequenceNumber", value);
      break;
    case kShowExtras:
      ShowExtrasDialog();
      break;
    case kXPosition:
    case kYPosition:
    case kZPosition:
      SetCoordinateOf(kAxes[index - kXPosition], value);
      break;
    default:
      break;  // the names read only
  }
}

void zelvproTopViewElement::SetLengthOf(float ppVector3::*axis, const ppParameter& value) {
  float millimetres = 0.0f;
  // A text that holds no length leaves the unit where it is (it would move it to 0).
  if (!ParseLength(millimetres, value.AsWString())) return;
  ppVector3 point = position;
  point.*axis = millimetres;
  SetPosition(point);
  MarkTreePendingUpdate();
}

void zelvproTopViewElement::SetCoordinateOf(float ppVector3::*axis, const ppParameter& value) {
  ppVector3 point = position;
  point.*axis = value.ToFloat();
  SetPosition(point);
  MarkTreePendingUpdate();
}

void zelvproTopViewElement::SetDimension(int32_t index, const ppParameter& value) {
  const int32_t axis = index - kXDim;
  if ((flags & (kStretchX << axis)) == 0) return;
  float size = 0.0f;
  if (!ParseLength(size, value.AsWString())) return;
  Invalidate();
  if (database != nullptr) {
    static constexpr const char* kMin[3] = {"minX", "minY", "minZ"};
    static constexpr const char* kMax[3] = {"maxX", "maxY", "maxZ"};
    zelvproTopViewFil& topViews = database->TopViewFile2();
    double least = 0.0, most = 0.0;
    if (CatalogReads::Read(topViews, recordId)) {
      ppParameter bound;
      topViews.GetFieldValue(topViews.IndexOf(kMin[axis]), bound, nullptr);
      least = bound.ToDouble();
      topViews.GetFieldValue(topViews.IndexOf(kMax[axis]), bound, nullptr);
      most = bound.ToDouble();
    }
    if (least > 0.0) size = std::max(size, float(least));
    if (most > 0.0) size = std::min(size, float(most));
  }
  dimensions.*kAxes[axis] = size;
  InvalidateTree();
  sizeChanged = 1;
  configurationChanged = 1;
  WriteToChildren(index, value);
  RedrawPlan();
  Invalidate();
}

void zelvproTopViewElement::SetUnitId(const ppParameter& value) {
  const int32_t unit = RecordOfValue(value);
  if (unit < 0) return;
  ApplyAccessId(unit, true);
  ElementList self{this};
  ReleaseOutsideSnaps(self);
  if (zelvproCanvas* canvas = GetCanvas()) canvas->Resnap();
  InvalidateTree();
  resnapped = 1;
  RedrawPlan();
}

void zelvproTopViewElement::SetTagValue(int32_t index, const ppParameter& value) {
  zelvproTagFil* tags = iElementHost::Current().TagTable();
  const int32_t position = value.ToLong() / kIdScale;
  // A position outside the table names no tag: nothing changes.
  if (tags == nullptr || position < 0 || position >= tags->GetSelectedCount()) return;
  tags->ReadRecordAt(position, nullptr);
  tag = RecordField(*tags, "id").Long(tags->GetRecordBuffer());
  WriteToChildren(index, value);
}

void zelvproTopViewElement::SetDepthId(const ppParameter& value) {
  // A depth of another catalogue would link a record of this one that happens to have its number.
  const int32_t depth = RecordOfValue(value);
  if (depth < 0) return;
  Invalidate();
  SetLinkedRecord(depth);
  InvalidateTree();
  RedrawPlan();
  if (zelvproCanvas* canvas = GetCanvas()) {
    ElementList self{this};
    canvas->ResnapList(self);
    canvas->ScheduleUpdate();
  }
  // The base's auxiliary flag asks for the price list to follow a depth change.
  if (auxFlag != 0) iCalculationUpdate::Current().UpdateCalculation(false);
}

void zelvproTopViewElement::DeleteByTask() {
  ppView* container = GetSupervisor();
  ppUndoer* history = GetUndoer();
  // Without a history the deletion could never be undone, and nothing would own the task.
  if (container == nullptr || history == nullptr) return;
  zelvproCanvas* canvas = GetCanvas();
  auto* task = new zelvproAccDeleteTask(container, this);
  history->Post(task);
  if (canvas != nullptr) canvas->ScheduleUpdate();
  // Post may have merged the task into the one before it and deleted it.
  if (history->Holds(task)) task->Do();
}

void zelvproTopViewElement::SetInteriorLock(bool on) {
  if (on == (interiorLock != 0)) return;
  interiorLock = on ? 1 : 0;
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    auto* child = dynamic_cast<zelvproElement*>(children.At(i));
    if (child == nullptr) continue;
    if (on)
      child->lockedChildBits = 1;
    else if ((child->lockedChildBits & 0x2) == 0)
      child->lockedChildBits = 0;
  }
}

void zelvproTopViewElement::WriteToChildren(int32_t index, const ppParameter& value) {
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    if (auto* child = dynamic_cast<zelvproElement*>(children.At(i))) child->SetValueAt(index, value, true);
  }
}

void zelvproTopViewElement::RedrawAndUpdate() {
  RedrawPlan();
  if (zelvproCanvas* canvas = GetCanvas()) canvas->ScheduleUpdate();
}

// ---- Numbering.

std::vector<zelvproElement*> zelvproTopViewElement::NeighboursAtHeight() {
  std::vector<zelvproElement*> neighbours;
  for (const SnapAnchor& anchor : snapPoints) {
    zelvproElement* other = anchor.partner;
    if (other == nullptr || !NearlyEqual(other->GetPosition().y, position.y, kSameHeight)) continue;
    if (std::find(neighbours.begin(), neighbours.end(), other) == neighbours.end())
      neighbours.push_back(other);
  }
  return neighbours;
}

void zelvproTopViewElement::SetRunNumber(int32_t& field, const char* name, const ppParameter& value) {
  if (!HasValue(EnumClassValue())) return;
  int32_t v = value.ToLong();
  // Below 1 only sets the field: a pass clears with -1, and a 0 passed on would come back for ever.
  if (v < 1) {
    field = v;
    return;
  }
  if (field > 0) return;
  field = v;
  const bool group = std::strcmp(name, "EnumGroup") == 0;
  for (zelvproElement* neighbour : NeighboursAtHeight()) {
    if (group) neighbour->SetValueByName(name, ppParameter(v), false);
    // Only a neighbour that takes the number uses one up, so a run reads 1, 2, 3 from either end.
    else if (HasValue(neighbour->GetValueByName("EnumClass")) &&
             neighbour->GetValueByName(name).ToLong() <= 0)
      neighbour->SetValueByName(name, ppParameter(++v), false);
  }
}

int32_t zelvproTopViewElement::CountSequenceSnaps() {
  firstSnapDirection = 0;
  std::vector<zelvproElement*> counted;
  int32_t count = 0;
  for (const SnapAnchor& anchor : snapPoints) {
    zelvproElement* other = anchor.partner;
    if (other == nullptr || !NearlyEqual(other->GetPosition().y, position.y, kSameHeight)) continue;
    if (std::find(counted.begin(), counted.end(), other) != counted.end()) continue;
    if (!HasValue(other->GetValueByName("EnumClass"))) continue;
    if (++count == 2) break;
    counted.push_back(other);
    // The anchor's code (word 0 of its entry), the key the runs are started from.
    if (firstSnapDirection == 0) firstSnapDirection = anchor.code;
  }
  return count == 0 ? 1 : count;
}

// ---- The close of a notified write.

void zelvproTopViewElement::AfterPropertyChange() {
  const bool resized = sizeChanged != 0;
  if (resized) {
    ScheduleUpdate();
    InvalidateTree();
    ElementList self{this};
    ReleaseOutsideSnaps(self);
    sizeChanged = 0;
  }
  // The configurator pane shows a selected element's values.
  if (selected != 0) iConfigurator::Current().Repaint();
  if (resnapped == 0) {
    Resnap();
    RunConfigurationPass();
    RedrawPlan();
    // The panel's size line is written when the panel is built: a selected element shows its new
    // size once the panel is built again, after the keys that typed it are handled.
    if (resized && selected != 0) {
      if (zelvproCanvas* canvas = GetCanvas()) canvas->ScheduleUpdate();
    }
  } else if (selected != 0) {
    if (zelvproCanvas* canvas = GetCanvas()) canvas->ScheduleUpdate();
  }
  resnapped = 0;
}
