#include "catalogue/records/zelvproUnitFil.h"

#include <algorithm>
#include <vector>

#include "catalogue/records/BlobWords.h"
#include "catalogue/records/RewriteEveryRecord.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproColorCodeFil.h"
#include "catalogue/records/zelvproDepthFil.h"
#include "catalogue/records/zelvproNoteFil.h"
#include "catalogue/records/zelvproParametricFil.h"
#include "catalogue/records/zelvproShape3DFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/unit3d/Unit3DAssembly.h"
#include "database/dbBytes.h"
#include "scene3d/objects/qx3DObject.h"

namespace {

constexpr uint32_t kShapeEntry = 24, kSubUnitEntry = 28, kShortShape3D = 40, kLongShape3D = 64;
constexpr uint32_t kShortParametric = 44, kLongParametric = 48;
constexpr uint32_t kPairEntry = 8, kDepthEntry = 4, kPartsEntry = 12;
// Word offsets inside a 3D shape entry.
constexpr uint32_t kBodyTypeAt = 4, kEntryFlagsAt = 36;
constexpr int32_t kPipe = 2, kRound = 3, kShape3DBody = 4;
// The last catalogue version whose round bodies carry flags of another meaning.
constexpr int32_t kLastRoundFlagsVersion = 3;

bool Holds(const std::vector<int32_t>& words, int32_t id) {
  return std::find(words.begin(), words.end(), id) != words.end();
}

}  // namespace

zelvproUnitFil::zelvproUnitFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      name1_(*this, "name1"),
      number1_(*this, "number1"),
      tname_(*this, "tname"),
      tnumber_(*this, "tnumber"),
      optionValue_(*this, "optionValue"),
      useParametrics_(*this, "useParametrics"),
      shapes_(*this, "shapes"),
      shapes3D_(*this, "shapes3D"),
      subUnits_(*this, "subUnits"),
      parametrics_(*this, "parametrics"),
      pricingIncludes_(*this, "pricingIncludes"),
      depths_(*this, "depths"),
      depthUnits_(*this, "depthUnits"),
      partsList_(*this, "partsList"),
      refTo_(*this, "refTo"),
      topView_(*this, "topView"),
      preview_(*this, "preview"),
      note_(*this, "note"),
      note2_(*this, "note2"),
      colorCode_(*this, "colorCode"),
      anchors_(*this, "anchors"),
      shapeFile_(std::make_unique<zelvproShapeFil>(database)),
      previewFile_(std::make_unique<zelvproPreviewFil>(database)),
      anchorFile_(std::make_unique<qxAnchorFil>(database, anchors_.Data(record_))),
      optionValueFile_(std::make_unique<zelvproOptionValueFil>(database)) {}

zelvproUnitFil::~zelvproUnitFil() = default;

void zelvproUnitFil::AfterRead(char* buffer) {
  buffer = Buffer(buffer);
  const int32_t optionValue = optionValue_.Long(buffer);
  // An option value that is gone leaves the unit its own name.
  if (optionValue != 0 && ReadIfPresent(*optionValueFile_, optionValue))
    tname_.SetWideText(buffer, optionValueFile_->LocalName());
  else
    SetLocalised(tname_, name1_.Text(buffer), buffer, 0);
  SetLocalised(tnumber_, number1_.Text(buffer), buffer, 1);
}

void zelvproUnitFil::GetDisplayText(Vcon::String& out, char* buffer) {
  buffer = Buffer(buffer);
  out = tnumber_.WideText(buffer).Narrow();
  out += " ";
  out += name1_.Text(buffer);
}

bool zelvproUnitFil::AllowsDeleteOf(int32_t fileId, int32_t id) {
  switch (fileId) {
    case zelvproTopViewFil::kFileId:
    case zelvproShapeFil::kFileId:
    case zelvproColorCatalogFil::kFileId:
    case kFileId:
    case zelvproParametricFil::kFileId:
    case zelvproDepthFil::kFileId:
    case zelvproPreviewFil::kFileId:
    case zelvproColorCodeFil::kFileId:
    case zelvproNoteFil::kFileId:
    case zelvproOptionValueFil::kFileId:
    case zelvproShape3DFil::kFileId:
      return !AnyRecord([&](const char* record) { return RefersTo(record, fileId, id); });
    default:
      return true;
  }
}

bool zelvproUnitFil::RefersTo(const char* record, int32_t fileId, int32_t id) const {
  auto words = [&](const RecordField& field, uint32_t size, uint32_t word) {
    return BlobWords::EntryWords(field.Data(record), size, word);
  };
  switch (fileId) {
    case zelvproTopViewFil::kFileId:
      return topView_.Long(record) == id || Holds(words(subUnits_, kSubUnitEntry, 0), id);
    case zelvproShapeFil::kFileId:
      return Holds(words(shapes_, kShapeEntry, 0), id) || HasShape(record, id, false);
    case zelvproShape3DFil::kFileId:
      return HasShape(record, id, true);
    case zelvproColorCatalogFil::kFileId:
      return Holds(words(pricingIncludes_, kPairEntry, 1), id);
    case kFileId:
      return refTo_.Long(record) == id || Holds(words(pricingIncludes_, kPairEntry, 0), id) ||
             Holds(words(depthUnits_, kPairEntry, 1), id) || Holds(words(partsList_, kPartsEntry, 0), id);
    case zelvproParametricFil::kFileId: {
      const bool longForm = (useParametrics_.Long(record) & kLongParametricEntries) != 0;
      return Holds(words(parametrics_, longForm ? kLongParametric : kShortParametric, 0), id);
    }
    case zelvproDepthFil::kFileId:
      return Holds(words(depths_, kDepthEntry, 0), id) || Holds(words(depthUnits_, kPairEntry, 0), id);
    case zelvproPreviewFil::kFileId:
      return preview_.Long(record) == id;
    case zelvproColorCodeFil::kFileId:
      return colorCode_.Long(record) == id;
    case zelvproNoteFil::kFileId:
      return note_.Long(record) == id || note2_.Long(record) == id;
    case zelvproOptionValueFil::kFileId:
      return optionValue_.Long(record) == id;
    default:
      return false;
  }
}

// Whether a "shapes3D" entry names shape `id` (a 3D shape record when `shape3D`). Only the 64-byte
// form can name 3D shapes: there an entry of body type 4 names one, every other entry a shape.
bool zelvproUnitFil::HasShape(const char* record, int32_t id, bool shape3D) const {
  const uint32_t size = ShapeEntrySize(record);
  const std::vector<int32_t> ids = BlobWords::EntryWords(shapes3D_.Data(record), size, 0);
  const std::vector<int32_t> types = BlobWords::EntryWords(shapes3D_.Data(record), size, 1);
  for (size_t i = 0; i < ids.size(); ++i) {
    const bool names3D = size == kLongShape3D && types[i] == kShape3DBody;
    if (ids[i] == id && names3D == shape3D) return true;
  }
  return false;
}

uint32_t zelvproUnitFil::ShapeEntrySize(const char* record) const {
  return (useParametrics_.Long(record) & kLongShapeEntries) != 0 ? kLongShape3D : kShortShape3D;
}

void zelvproUnitFil::ImportFromFile(Handle fieldMap, const ppFileSpec& path) {
  WithImportMap(fieldMap, [&](Handle map) { zelvproRecordFil::ImportFromFile(map, path); });
}

void zelvproUnitFil::ImportWithFileDialog(Handle fieldMap) {
  WithImportMap(fieldMap, [&](Handle map) { zelvproRecordFil::ImportWithFileDialog(map); });
}

void zelvproUnitFil::ResetRoundShapeFlags(int32_t from, int32_t) {
  const bool reset = from >= 0 && from <= kLastRoundFlagsVersion;
  RewriteEveryRecord(*this, [&](char* record) {
    if (reset) ResetRoundShapes(record);
  });
}

void zelvproUnitFil::ResetRoundShapes(char* record) const {
  Handle entries = shapes3D_.Data(record);
  if (entries == nullptr || *entries == nullptr) return;
  const uint32_t size = ShapeEntrySize(record);
  const uint32_t count = uint32_t(MemGetSize(entries)) / size;
  for (uint32_t i = 0; i < count; ++i) {
    const int32_t type = db::GetI32(*entries, i * size + kBodyTypeAt);
    if (type == kPipe || type == kRound) db::PutI32(*entries, i * size + kEntryFlagsAt, 0);
  }
}

std::shared_ptr<TripleWithSet> zelvproUnitFil::GetUnitLayer3D(int32_t unitId, iUnit3DElement& element) {
  return Unit3DAssembly::GetUnitLayer3D(*this, unitId, element);
}

std::unique_ptr<qx3DObject> zelvproUnitFil::BuildUnit3DObjects(int32_t unitId, iUnit3DElement& element,
                                                               std::unique_ptr<qx3DObject> chain,
                                                               uint32_t resolve, const ppVector3& offset,
                                                               float angle, uint32_t context,
                                                               uint32_t extra) {
  return Unit3DAssembly::BuildUnit3DObjects(*this, unitId, element, std::move(chain), resolve, offset, angle,
                                            context, extra);
}
