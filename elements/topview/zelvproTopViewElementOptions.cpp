// The option entries of a top-view element: choosing units, laying the options out along their snap
// points, the outline pieces of the element and of its options, the anchor list and the option key.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxAnchorFil.h"
#include "catalogue/records/zelvproClassFil.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproColorCodeFil.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/topview/CatalogReads.h"
#include "elements/topview/FileSelection.h"
#include "elements/topview/ScratchRecord.h"
#include "elements/topview/zelvproTopViewElement.h"

namespace {

constexpr size_t kPieceEntry = 24, kSnapEntry = 36;

template <typename T>
T ValueAt(const std::vector<uint8_t>& bytes, size_t offset) {
  T value{};
  if (offset + sizeof(T) <= bytes.size()) std::memcpy(&value, bytes.data() + offset, sizeof(T));
  return value;
}

ppVector3 SnapPoint(const std::vector<uint8_t>& snaps, size_t at) {
  return ppVector3(ValueAt<float>(snaps, at + 4), ValueAt<float>(snaps, at + 8),
                   ValueAt<float>(snaps, at + 12));
}

float AnchorFloat(qxAnchorFil& table, const char* name) {
  ppParameter value;
  const int32_t field = table.IndexOf(name);
  if (field >= 0) table.GetFieldValue(field, value, nullptr);
  return field >= 0 ? value.ToFloat() : 0.0f;
}

}  // namespace

std::unique_ptr<zelvproShape> zelvproTopViewElement::AppendPieceShapes(const Bytes& pieces,
                                                                       std::unique_ptr<zelvproShape> head) {
  if (shapeFile == nullptr) return head;
  for (size_t at = 0; at + kPieceEntry <= pieces.size(); at += kPieceEntry) {
    const int32_t shape = ValueAt<int32_t>(pieces, at);
    if (shape == 0 || !CatalogReads::Read(*shapeFile, shape)) continue;
    // Whole millimetres, cut toward zero; a value out of the 32-bit range gives 0.
    auto whole = [](float v) { return std::isfinite(v) && std::fabs(v) < 2.0e9f ? int32_t(v) : 0; };
    head = std::make_unique<zelvproShape>(*shapeFile, shapeFile->GetRecordBuffer(),
                                          whole(ValueAt<float>(pieces, at + 4)),
                                          whole(ValueAt<float>(pieces, at + 8)),
                                          float(ValueAt<double>(pieces, at + 16)), 0.0f, std::move(head));
  }
  return head;
}

std::unique_ptr<zelvproShape> zelvproTopViewElement::AppendOptionShapes(std::unique_ptr<zelvproShape> head) {
  BuildOptionParts();
  for (const TopViewOption& option : options) {
    if ((option.optionFlags & TopViewOption::kNotInUse) != 0) continue;
    const Bytes shapes = ScratchRecord(database->UnitFile(), option.chosenUnit).Blob("shapes");
    bool anchored = false;
    for (const TopViewAnchor& anchor : anchors) {
      if (anchor.classId != option.optionKey) continue;
      anchored = true;
      const ppVector3 offset = ChainedAnchorPosition(anchor);
      zelvproShape* before = head.get();
      head = AppendPieceShapes(shapes, std::move(head));
      for (zelvproShape* s = head.get(); s != nullptr && s != before; s = s->next.get())
        s->AddOffset(offset.x, offset.z);
    }
    if (!anchored) head = AppendPieceShapes(shapes, std::move(head));
  }
  return head;
}

int32_t zelvproTopViewElement::ChosenUnitOfOption(int32_t classId) const {
  for (const TopViewOption& option : options) {
    if (option.classId == classId) return option.chosenUnit;
  }
  return -1;
}

int32_t zelvproTopViewElement::FindOptionSnap(int32_t id, ppVector3& point) const {
  for (size_t i = 0; i < options.size(); ++i) {
    const Bytes& snaps = options[i].snapPoints;
    for (size_t at = 0; at + kSnapEntry <= snaps.size(); at += kSnapEntry) {
      if (ValueAt<int32_t>(snaps, at) != id) continue;
      point = point + SnapPoint(snaps, at);
      return int32_t(i);
    }
  }
  return -1;
}

void zelvproTopViewElement::LayOutOptions() {
  if (options.empty()) return;
  ppVector3 p;
  std::vector<bool> placed(options.size(), false);
  for (int32_t i = FindOptionSnap(0, p); i >= 0 && !placed[size_t(i)];) {
    placed[size_t(i)] = true;
    TopViewOption& option = options[size_t(i)];
    option.offset = p;
    const Bytes& snaps = option.snapPoints;
    size_t at = 0;
    while (at + kSnapEntry <= snaps.size() && ValueAt<int32_t>(snaps, at) <= 0) at += kSnapEntry;
    if (at + kSnapEntry > snaps.size()) break;
    p = p + SnapPoint(snaps, at);
    i = FindOptionSnap(-ValueAt<int32_t>(snaps, at), p);
  }
}

void zelvproTopViewElement::ChooseOptionUnit(int32_t classId, int32_t unitId) {
  auto option = std::find_if(options.begin(), options.end(),
                             [&](const TopViewOption& o) { return o.classId == classId; });
  if (option == options.end()) return;
  zelvproUnitFil& units = database->UnitFile();
  const int32_t value = CatalogReads::LongOf(units, unitId, "optionValue");
  if (value == 0) {
    const bool inGroup = std::find(option->units.begin(), option->units.end(), unitId) != option->units.end();
    if (inGroup && unitId != option->chosenUnit) option->chosenUnit = unitId, option->changed = true;
  } else {
    for (int32_t unit : option->units) {
      if (CatalogReads::LongOf(units, unit, "optionValue") != value) continue;
      if (unit != option->chosenUnit) option->chosenUnit = unit, option->changed = true;
      database->ClassFile().CacheSet(classId, value);
      break;
    }
  }
  if (CatalogReads::LongOf(units, option->chosenUnit, "topView") != 0)
    CopyLinkedSnaps(*option, option->chosenUnit);
  configurationChanged = 1;
}

void zelvproTopViewElement::ChooseOptionUnitAndPlaceParts(int32_t classId, int32_t unitId) {
  auto option = std::find_if(options.begin(), options.end(),
                             [&](const TopViewOption& o) { return o.classId == classId; });
  if (option == options.end()) return;
  if (unitId != option->chosenUnit) option->chosenUnit = unitId, option->changed = true;
  colourMask = 0;
  BuildOptionParts();
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    auto* part = dynamic_cast<zelvproTopViewElement*>(children.At(i));
    if (part == nullptr || (part->flags & kInGridCell) == 0) continue;
    ppVector3 p;
    GetAccessOffset(part->cellX, part->cellY, part->cellZ, p);
    if (!part->snapPoints.empty()) p = p + part->snapPoints[0].point;
    if ((part->flags & kInsetPart) != 0) p.z += GetDepth();
    part->SetPosition(p);
    part->SetLinkedRecord(linkedRecord);
    part->MarkTreePendingUpdate();
  }
}

void zelvproTopViewElement::BuildOptionKey(Vcon::String& out, bool withColours) {
  std::string text;
  const uint32_t mask = CollectBitMask(true);
  auto append = [&](int32_t a, int32_t b) {
    if (!text.empty()) text += ' ';
    text += std::to_string(a) + ':' + std::to_string(b);
  };
  for (const TopViewOption& option : options) {
    if ((option.optionFlags & TopViewOption::kNotInUse) != 0) continue;
    const ScratchRecord cls(database->ClassFile(), option.classId);
    if ((cls.Long("flags") & 0x100) == 0) continue;
    if (cls.Long("type") != 1) {
      append(cls.Long("id"), CatalogReads::LongOf(database->UnitFile(), option.chosenUnit, "id"));
      continue;
    }
    if (!withColours) continue;
    const int32_t groups = std::min(CatalogReads::ColourCodeCount(*database), 32);
    for (int32_t g = 0; g < groups; ++g) {
      if ((mask & (uint32_t{1} << g)) == 0) continue;
      const int32_t code = CatalogReads::ColourCodeAt(*database, g);
      if (CatalogReads::LongOf(database->ColorCodeFile(), code, "class") != option.classId) continue;
      append(cls.Long("id"),
             CatalogReads::LongOf(database->ColorCatalogFile(), GetColorRecordIdClamped(g + 1), "id"));
    }
  }
  out = Vcon::String(text.c_str());
}

void zelvproTopViewElement::BuildOptionParts() {
  anchors.clear();
  if (database == nullptr) return;
  zelvproUnitFil& units = database->UnitFile();
  qxAnchorFil& table = units.AnchorFile();
  auto addAnchorsOf = [&](int32_t unitId) {
    if (!CatalogReads::Read(units, unitId)) return;
    table.LoadFromBlob();
    for (int32_t i = 0; i < table.GetRecordCount(); ++i) {
      table.ReadRecordAt(i, nullptr);
      AdjustAnchorRecord(table.GetRecordBuffer());
      const char* r = table.GetRecordBuffer();
      TopViewAnchor anchor;
      anchor.eye = RecordField(table, "eye").Long(r);
      anchor.hook = RecordField(table, "hook").Long(r);
      anchor.classId = RecordField(table, "class").Long(r);
      anchor.position = ppVector3(AnchorFloat(table, "position.x"), AnchorFloat(table, "position.y"),
                                  AnchorFloat(table, "position.z"));
      anchor.rotation = AnchorFloat(table, "rotation");
      anchors.insert(anchors.begin(), anchor);
    }
  };
  if (unitRecordId != 0) addAnchorsOf(unitRecordId);
  for (const TopViewOption& option : options) {
    if ((option.optionFlags & TopViewOption::kNotInUse) == 0 && option.chosenUnit != 0)
      addAnchorsOf(option.chosenUnit);
  }
}

int32_t zelvproTopViewElement::CountOptionParts(int32_t classId) {
  auto option = std::find_if(options.begin(), options.end(),
                             [&](const TopViewOption& o) { return o.classId == classId; });
  if (option == options.end()) return 0;
  // A changed entry's allowed list is stale: it is worked out again on the unit file, whose
  // selection is given back. A list that is up to date may be empty (the group offers nothing).
  if (option->changed && database != nullptr) {
    zelvproUnitFil& units = database->UnitFile();
    const std::vector<int32_t> kept = FileSelection::Get(units);
    FillOptionChoices(units, classId);
    FileSelection::Set(units, kept);
  }
  const std::vector<int32_t>& allowed = option->changed ? option->units : option->allowedUnits;
  if (std::find(allowed.begin(), allowed.end(), option->chosenUnit) == allowed.end()) return 0;
  const auto count = std::count_if(anchors.begin(), anchors.end(),
                                   [&](const TopViewAnchor& a) { return a.classId == option->optionKey; });
  return std::max<int32_t>(1, int32_t(count));
}
