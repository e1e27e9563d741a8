// Construction and teardown of the top-view element: from a catalogue top-view record and from a
// saved document-module record.
#include "elements/topview/zelvproTopViewElement.h"

#include <cstring>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproClassFil.h"
#include "catalogue/records/zelvproColorCodeFil.h"
#include "catalogue/records/zelvproDepthFil.h"
#include "catalogue/records/zelvproPosSheetFil.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/ppDatafile.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/grid/PosSheetGrid.h"
#include "elements/topview/CatalogReads.h"
#include "elements/topview/ScratchRecord.h"
#include "elements/topview/TopViewRecord.h"
#include "elements/topview/iCalculationList.h"
#include "platform/ResetList.h"

namespace {

// Whether MergeColorChoices takes in the children; user-interface thread only.
bool gChildMerge = false;
// The placement-warning rules' option numbers (not owned); user-interface thread.
const std::set<uint32_t>* gWarningOptions = nullptr;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("top-view child merge", [] {
  gChildMerge = false;
  gWarningOptions = nullptr;
});

constexpr size_t kPieceEntry = 24, kSubItemEntry = 32, kUnitsEntry = 8;

zelvDatabase* CatalogOf(zelvproShapeFil& shapes) { return dynamic_cast<zelvDatabase*>(&shapes.Database()); }

float FloatAt(const std::vector<uint8_t>& bytes, size_t offset) {
  float value = 0.0f;
  if (offset + 4 <= bytes.size()) std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

// The words of a blob, whole 12-byte triples only (key combinations).
std::vector<int32_t> TriplesOf(const std::vector<uint8_t>& bytes) {
  std::vector<int32_t> words((bytes.size() / 12) * 3);
  if (!words.empty()) std::memcpy(words.data(), bytes.data(), words.size() * 4);
  return words;
}

std::vector<int32_t> WordsOf(const std::vector<uint8_t>& bytes) {
  std::vector<int32_t> words(bytes.size() / 4);
  if (!words.empty()) std::memcpy(words.data(), bytes.data(), words.size() * 4);
  return words;
}

// True when `id` is the top-view record of `element` or of one of its containers of the same catalogue:
// a child made from it would make the same children again without end.
bool MakesItself(zelvproElement* element, int32_t id) {
  for (zelvproElement* e = element; e != nullptr; e = e->ContainerElement()) {
    if (e->recordId == id && e->database == element->database) return true;
  }
  return false;
}

}  // namespace

void zelvproTopViewElement::SetChildMerge(bool on) { gChildMerge = on; }

void zelvproTopViewElement::SetWarningOptions(const std::set<uint32_t>* options) {
  gWarningOptions = options;
}

bool zelvproTopViewElement::HasFlaggedOption() {
  if (gWarningOptions == nullptr || gWarningOptions->empty()) return false;
  for (const TopViewOption& option : options) {
    if ((option.classFlags & kWarningClass) != 0 && gWarningOptions->count(uint32_t(option.optionKey)) != 0)
      return true;
  }
  return false;
}
bool zelvproTopViewElement::ChildMerge() { return gChildMerge; }

// ---- From a catalogue record.

zelvproTopViewElement::zelvproTopViewElement(int32_t recordId, ppView* parent, const plat::RECT& frame,
                                             const char* record, zelvproShapeFil& shapes)
    : zelvproElement(recordId, parent, frame, CatalogOf(shapes), 0, 0) {
  InitOwnMembers();
  shapeFile = &shapes;
  if (database == nullptr) return;
  const TopViewRecord r(database->TopViewFile(), record);
  ReadCatalogRecord(r);
  MakeGrids(r);
  loadedFromDocument = 0;
  hiddenNumber = 0;
  unitRecordId = CatalogReads::WordAt(r.units, 0);
  lastAppliedUnit = unitRecordId;
  SetLinkedRecord(database->CurrentDepthId());
  MakeChildren(r.subItems, frame);
  excludes = WordsOf(r.excludes);
  builtFromCatalog = 1;
  optionRules = r.optionRules;
  MakeOptions(r.options, true);
  ApplyAccessId(unitRecordId, true);
  SetLinkedRecord(database->CurrentDepthId());
  const int32_t n = int32_t(colours.size());
  for (int32_t i = 0; i < n && i < 32; ++i)
    ApplyColorRecord(CatalogReads::DefaultColourOfCode(*database, i), database, int32_t(uint32_t{1} << i));
  RunConfigurationPass();
  if (zelvproCanvas* canvas = GetCanvas()) canvas->Resnap();
  warningNumber = warningNumberShown = 0;
  sizeChanged = 0;
}

void zelvproTopViewElement::InitOwnMembers() {
  firstRecordId = secondRecordId = recordId;
  configurationChanged = 1;
}

void zelvproTopViewElement::ReadCatalogRecord(const TopViewRecord& r) {
  flags = r.flags;
  auxWordC = int32_t(r.flags2);
  quantityRule = r.quantityFunc;
  MakeColourList(r.colorCode);
  AssignSnapBytes(r.snappoints);
  outlinePieces = r.subelements;
  pieces3D = r.shapes3D;
  keyCombinations = TriplesOf(r.rules);
  kind = r.type;
  canvasType = r.canvas;
  BuildShapeChains();
  calculate = !r.units.empty();
  BuildPartTable(r.units);
  price = ppMoney::FromRaw(ppMoney::kNoValue);
  auxAmountA = ppMoney::kNoValue;
  customPriceSet = 0;
  extraWord = 0;
  height = float(r.zpos);
  auxWordB = r.frontView;
  under = r.under;
  printNumbers = r.printNumbers != 0;
  dimensions = ppVector3(float(r.width), float(r.height), float(r.depth));
  positioning = r.positioning;
  positionedWord = 0;
  gridWidth = r.gridX, gridHeight = r.gridY, gridDepth = r.gridZ;
  cellX = cellY = cellZ = 0;
  if ((flags & kNotCalculated) != 0) calculate = 0;
}

void zelvproTopViewElement::MakeColourList(int32_t colourCode) {
  const int32_t n = CatalogReads::ColourCodeCount(*database);
  colours.clear();
  colours.reserve(size_t(n));
  noColourCode = false;
  if (colourCode != 0) extraA = CatalogReads::LongOf(database->ColorCodeFile(), colourCode, "id");
  if (extraA == 0) extraA = 1, noColourCode = true;
  UnitLayer().code = extraA;
  interiorLocked = createdByParent = false;
  for (int32_t i = 0; i < n; ++i) colours.push_back(CatalogReads::DefaultColourOfCode(*database, i));
}

void zelvproTopViewElement::MakeGrids(const TopViewRecord& r) {
  gridX.reset(), gridY.reset(), gridZ.reset();
  if ((flags & kHasGrid) == 0) return;
  zelvproPosSheetFil& sheets = database->PosSheetFile();
  for (auto* grid : {&gridX, &gridY, &gridZ})
    *grid = std::make_unique<PosSheetGrid>(r.posSheet, r.gridX, r.gridY, r.gridZ, sheets);
}

void zelvproTopViewElement::MakeChildren(const Bytes& subItems, const plat::RECT& frame) {
  if (!colours.empty()) colorRecordId = GetColorRecordIdClamped(extraA);
  for (size_t at = 0; at + kSubItemEntry <= subItems.size(); at += kSubItemEntry) {
    const size_t word = at / 4;
    const int32_t id = CatalogReads::WordAt(subItems, word);
    if (id == 0 || MakesItself(this, id)) continue;
    zelvproElement* child = database->TopViewFile().CreateElement(id, frame, this);
    if (child == nullptr) continue;
    child->SetPosition(
        ppVector3(FloatAt(subItems, at + 8), FloatAt(subItems, at + 12), FloatAt(subItems, at + 16)));
    child->SetAngle(FloatAt(subItems, at + 24));
    auto* part = dynamic_cast<zelvproTopViewElement*>(child);
    const int32_t subFlags = CatalogReads::WordAt(subItems, word + 1);
    if (part != nullptr && (subFlags & kKeepSubItemFlags) != 0) part->subItemFlags = subFlags;
    child->InvalidateTree();
    if (part != nullptr) part->createdByParent = true;
  }
}

void zelvproTopViewElement::MakeOptions(const Bytes& blob, bool useMemory) {
  const std::vector<int32_t> words = WordsOf(blob);
  options.clear();
  for (size_t i = 0; i < words.size() && words[i] != 0;) {
    TopViewOption option;
    option.classId = words[i];
    option.optionFlags = i + 1 < words.size() ? uint32_t(words[i + 1]) : 0;
    option.database = database;
    std::vector<int32_t> units;
    for (i += 2; i < words.size() && words[i] != 0; ++i) units.push_back(words[i]);
    ++i;  // the group's closing 0
    const ScratchRecord cls(database->ClassFile(), option.classId);
    option.classFlags = uint32_t(cls.Long("flags"));
    if ((option.classFlags & 0x100) != 0) pricedOption = 1;
    option.optionKey = cls.Long("id");
    const int32_t remembered = useMemory ? database->ClassFile().CacheGet(option.classId) : 0;
    for (size_t u = 0; remembered != 0 && u < units.size(); ++u) {
      TakeOptionOffset(option, units[u]);
      const int32_t value = CatalogReads::LongOf(database->UnitFile(), units[u], "optionValue");
      if (value == 0 || value != remembered) continue;
      option.chosenUnit = units[u];
      option.chosenFlags |= TopViewOption::kChosen;
      CopyLinkedSnaps(option, units[u]);
      break;
    }
    for (int32_t unit : units) {
      option.units.push_back(unit);
      if (option.chosenUnit == 0) ChooseFirstUnit(option, unit, useMemory);
    }
    options.push_back(std::move(option));
  }
}

void zelvproTopViewElement::ChooseFirstUnit(TopViewOption& option, int32_t unitId, bool useMemory) {
  option.chosenUnit = unitId;
  option.chosenFlags |= TopViewOption::kChosen;
  TakeOptionOffset(option, unitId);
  const int32_t value = CatalogReads::LongOf(database->UnitFile(), unitId, "optionValue");
  if (useMemory && value != 0) database->ClassFile().CacheSet(option.classId, value);
  CopyLinkedSnaps(option, unitId);
}

void zelvproTopViewElement::TakeOptionOffset(const TopViewOption& option, int32_t unitId) {
  if ((option.classFlags & 0x800) == 0) return;
  const ScratchRecord unit(database->UnitFile(), unitId);
  optionOffsetSet = 1;
  optionOffset =
      ppVector3(float(unit.Double("xoffset")), float(unit.Double("yoffset")), float(unit.Double("zoffset")));
}

void zelvproTopViewElement::CopyLinkedSnaps(TopViewOption& option, int32_t unitId) {
  const int32_t topView = CatalogReads::LongOf(database->UnitFile(), unitId, "topView");
  option.snapPoints.clear();
  if (topView == 0) return;
  zelvproTopViewFil& second = database->TopViewFile2();
  if (!CatalogReads::Read(second, topView)) return;
  option.snapPoints = TopViewRecord(second, second.GetRecordBuffer()).snappoints;
}

void zelvproTopViewElement::AssignSnapBytes(const Bytes& bytes) {
  snapPoints = SnapAnchor::FromBytes(bytes.data(), bytes.size());
}

void zelvproTopViewElement::BuildShapeChains() {
  outlines = AppendPieceShapes(outlinePieces, nullptr);
  shapes3D = AppendPieceShapes(pieces3D, nullptr);
}

// ---- From a document record.

zelvproTopViewElement::zelvproTopViewElement(ppView* parent, ppDatafile& module, bool refresh)
    : zelvproElement(parent, module, refresh) {
  InitOwnMembers();
  if (database != nullptr) {
    const int32_t n = CatalogReads::ColourCodeCount(*database);
    for (int32_t i = 0; i < n; ++i) colours.push_back(CatalogReads::DefaultColourOfCode(*database, i));
    if (n != 0 && extraA == 0) extraA = 1;
    shapeFile = &database->ShapeFile();
  }
  flags = 0;
  auxWordC = 0;
  if (recordId != 0 && database != nullptr && CatalogReads::Read(database->TopViewFile(), recordId)) {
    ReadDocumentTopView(module);
  } else {
    outlinePieces.assign(kPieceEntry, 0);
    if (shapeFile != nullptr) {
      shapeFile->ClearRecordBuffer(nullptr);
      outlines = std::make_unique<zelvproShape>(*shapeFile, shapeFile->GetRecordBuffer(), 0, 0, 0.0f, 0.0f);
    }
    pieces3D.clear();
    auxWordB = under = 0;
    printNumbers = false;
  }
  UnitLayer().code = extraA;
  ReadDocumentWords(module);
  loadedFromDocument = 1;
  hiddenNumber = 0;
  if (unitRecordId != 0) ApplyTopViewRecord(TopViewForDepth(unitRecordId, linkedRecord, false), true);
  builtFromCatalog = 0;
  colourMask = 0;
  if (refresh) ApplyRefresh();
  RunConfigurationPass();
  ScheduleUpdate();
  if (zelvproCanvas* canvas = GetCanvas()) canvas->Resnap();
  if (refresh) RebuildGeometry();
  lastAppliedUnit = unitRecordId;
  warningNumber = warningNumberShown = 0;
  sizeChanged = 0;
}

void zelvproTopViewElement::ReadDocumentTopView(ppDatafile& module) {
  zelvproTopViewFil& topViews = database->TopViewFile();
  const TopViewRecord t(topViews, topViews.GetRecordBuffer());
  const char* d = module.GetRecordBuffer();
  auto longOf = [&](const char* name) { return RecordField(module, name).Long(d); };
  if (longOf("type") == 0 && float(t.width) != dimensions.x)
    dimensions = ppVector3(float(t.width), float(t.height), float(t.depth));
  optionRules = t.optionRules;
  AssignSnapBytes(t.snappoints);
  keyCombinations = TriplesOf(t.rules);
  outlinePieces = t.subelements;
  pieces3D = t.shapes3D;
  BuildPartTable(t.units);
  if (!t.excludes.empty()) excludes = WordsOf(t.excludes);
  BuildShapeChains();
  auxWordB = t.frontView;
  under = t.under;
  auxAmountB = ppMoney::FromRaw(int64_t(longOf("colorAgreen")));
  auxWordA = longOf("colorAblue");
  printNumbers = t.printNumbers != 0;
  flags = t.flags;
  auxWordC = int32_t(t.flags2);
  quantityRule = t.quantityFunc;
  positioning = t.positioning;
  if (t.colorCode != 0) extraA = CatalogReads::LongOf(database->ColorCodeFile(), t.colorCode, "id");
  cellX = longOf("xposPosition"), cellY = longOf("yposPosition"), cellZ = longOf("zposPosition");
  gridWidth = t.gridX, gridHeight = t.gridY, gridDepth = t.gridZ;
  MakeGrids(t);
  if (const int32_t depth = longOf("depthID"); depth != 0)
    SetLinkedRecord(CatalogReads::RecordOfStoredId(database->DepthFile(), depth));
  Resnap();
  noColourCode = extraA == 0;
  if (extraA == 0) extraA = 1;
  ReadDocumentColours(module);
  MakeOptions(t.options, false);
  RestoreOptionChoices(module);
}

void zelvproTopViewElement::ReadDocumentColours(ppDatafile& module) {
  // "colors" holds the colour list as its counted-list block: count, capacity, then the entries.
  const std::vector<int32_t> block = RecordField(module, "colors").Words(module.GetRecordBuffer());
  std::vector<int32_t> saved;
  if (block.size() >= 2 && block[0] > 0)
    saved.assign(block.begin() + 2,
                 block.begin() + 2 + std::min<ptrdiff_t>(block[0], ptrdiff_t(block.size()) - 2));
  const size_t own = size_t(extraA - 1);
  if (saved.empty()) {
    if (own < colours.size()) colours[own] = colorRecordId;
  } else if (saved.size() == colours.size()) {
    colours = saved;
  } else {
    for (size_t i = 0; i < colours.size(); ++i) {
      if (i < saved.size())
        colours[i] = saved[i];
      else if (colorRecordId != 0)
        colours[i] = colorRecordId;
      else if (own < colours.size())
        colours[i] = colours[own];
    }
  }
  for (size_t i = 0; i < colours.size(); ++i) colours[i] = ValidateColor(colours[i], int32_t(i + 1));
}

void zelvproTopViewElement::RestoreOptionChoices(ppDatafile& module) {
  // First word not read, then the pair count, then {unit "id", class "id"} pairs.
  const std::vector<int32_t> words = RecordField(module, "privateData1").Words(module.GetRecordBuffer());
  const size_t pairs = words.size() >= 2 && words[1] > 0 ? size_t(words[1]) : 0;
  for (size_t p = 0; p < pairs && 2 + 2 * p + 1 < words.size(); ++p) {
    const int32_t unit = CatalogReads::RecordOfStoredId(database->UnitFile(), words[2 + 2 * p]);
    const int32_t cls = CatalogReads::RecordOfStoredId(database->ClassFile(), words[3 + 2 * p]);
    if (unit != 0 && cls != 0) ChooseOptionUnit(cls, unit);
  }
}

void zelvproTopViewElement::ReadDocumentWords(ppDatafile& module) {
  const char* d = module.GetRecordBuffer();
  auto longOf = [&](const char* name) { return RecordField(module, name).Long(d); };
  const int32_t bits = longOf("lockedChild");
  interiorLocked = (bits & 0x2) != 0;
  hiddenNumber = (bits & 0x8) != 0;
  lockedChild = (bits & 0x10) != 0;
  createdByParent = (bits & 0x1) != 0;
  extraWord = longOf("colorAred");
  positionedWord = longOf("positioned");
  const char* names[] = {"extraInfo1", "extraInfo2", "extraInfo3"};
  for (int32_t i = 0; i < 3; ++i) extraInfo[i] = ppParameter(RecordField(module, names[i]).WideText(d));
  Handle data = RecordField(module, "extras").Data(d);
  const int32_t size = MemGetSize(data);
  extras.assign(size > 0 ? size_t(size) : 0, 0);
  if (!extras.empty()) std::memcpy(extras.data(), *data, extras.size());
}

void zelvproTopViewElement::ApplyRefresh() {
  currcat = 0;
  if (recordId != 0 && database != nullptr) {
    const ScratchRecord topView(database->TopViewFile2(), recordId);
    const std::vector<int32_t> units = topView.Words("Units");
    int32_t chosen = 0, lastPlain = 0;
    for (size_t i = 0; i + 1 < units.size(); i += kUnitsEntry / 4) {
      if (units[i + 1] != 0) continue;
      lastPlain = units[i];
      if (units[i] == unitRecordId) chosen = units[i];
    }
    const int32_t u = chosen != 0 ? chosen : lastPlain;
    if (u != 0 && u != unitRecordId && (lockUnits == 0 || unitRecordId == 0)) ApplyAccessId(u, true);
  }
  configurationChanged = 1;
}

zelvproTopViewElement::~zelvproTopViewElement() {
  iCalculationList::Current().RemoveElementLines(this);
  LeaveContainerGrid();
}

// ---- Small operations.

void zelvproTopViewElement::NotifyChildren() {
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    if (auto* part = dynamic_cast<zelvproTopViewElement*>(children.At(i))) part->NotifyChildren();
  }
}
