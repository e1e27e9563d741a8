// The element's document-module record (layout "qxDocModule"): saving a tree depth first, the base
// fields, loading into an existing element, and the element's colour record. Record ids of catalogue
// records are stored as the records' own stored ids, so a document survives a rebuilt catalogue.
#include <cstring>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/ScopedRecordBuffer.h"
#include "database/ppDatafile.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproElement.h"
#include "elements/base/zelvproLayerPalette.h"

namespace {

// The stored id (field `field`) of record `id` of `file`; 0 for record 0. Read through a buffer of
// its own, so the file's current record stays.
int32_t StoredIdOf(ppDatafile& file, int32_t id, const char* field = "id") {
  if (id == 0) return 0;
  ScopedRecordBuffer<ppDatafile> buffer(file);
  file.ReadRecord(id, buffer.Get());
  return RecordField(file, field).Long(buffer.Get());
}

}  // namespace

void zelvproElement::SaveTree(ppDatafile& module, bool renumber, int32_t parentNumber) {
  char* r = module.GetRecordBuffer();
  module.ClearRecordBuffer(r);
  RecordField(module, "type").SetLong(r, 0);
  WriteRecord(module, renumber, parentNumber);
  const int32_t number = RecordField(module, "id").Long(r);
  module.InsertRecordAt(-1, r);
  ForEachChildElement(*this, [&](zelvproElement* child) { child->SaveTree(module, renumber, number); });
}

void zelvproElement::WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) {
  char* r = record.GetRecordBuffer();
  auto setLong = [&](const char* name, int32_t value) { RecordField(record, name).SetLong(r, value); };
  auto setDouble = [&](const char* name, float value) { RecordField(record, name).SetDouble(r, value); };
  const std::pair<const char*, float> floats[] = {
      {"dimensionsx", dimensions.x}, {"dimensionsy", dimensions.y},
      {"dimensionsz", dimensions.z}, {"xposition", position.x},
      {"yposition", position.y},     {"zposition", position.z},
      {"xanchor", anchor.x},         {"yanchor", anchor.z},
      {"rotation", angle},           {"height", height}};
  for (const auto& [name, value] : floats) setDouble(name, value);
  zelvproLayerPalette* palette = iElementHost::Current().LayerPalette();
  setLong("id", renumber && palette != nullptr ? palette->NextId() : saveId);
  setLong("locked", locked != 0);
  setLong("calculate", calculate != 0);
  setLong("currcat", currcat);
  setLong("curref", curref);
  setLong("lockUnits", lockUnits != 0);
  setLong("tag", tag);
  setLong("selected", selected != 0);
  setLong("canvasType", canvasType);
  setLong("dropType", dropType);
  const plat::RECT frame = GetFrame();
  setLong("viewL", frame.left);
  setLong("viewT", frame.top);
  setLong("viewR", frame.right);
  setLong("viewB", frame.bottom);
  setLong("database", database != nullptr ? database->Identifier() : 0);
  // A long field holds no value when it is 0, and SaveTree writes "type" 0: were that read as "no
  // value", every record would lose its parent. Only a layout without "type" has no parent number.
  int32_t parent = -1;
  if (RecordField(record, "type").Exists()) {
    auto* parentElement = dynamic_cast<zelvproElement*>(GetSupervisor());
    if (renumber && parentNumber != 0)
      parent = parentNumber;
    else
      parent = parentElement != nullptr ? parentElement->saveId : 0;
  }
  setLong("parent", parent);
  setLong("color", database != nullptr ? StoredIdOf(database->ColorCatalogFile(), colorRecordId) : 0);
  setLong("unitID", database != nullptr ? StoredIdOf(database->UnitFile(), unitRecordId) : 0);
  setLong("recID", database != nullptr ? StoredIdOf(database->TopViewFile(), recordId, "ID") : 0);
  if (Handle links = RecordField(record, "associates").Data(r)) {
    std::vector<int32_t> ids;
    for (qxViewHolder* link = Associates(); link != nullptr; link = link->Next())
      ids.push_back(link->Element()->saveId);
    MemSetSize(links, uint32_t(ids.size() * sizeof(int32_t)));
    if (!ids.empty()) std::memcpy(*links, ids.data(), ids.size() * sizeof(int32_t));
  }
  setLong("under", under);
  setLong("lockedChild", ((lockedChildBits & 1) != 0 ? 0x4 : 0) | ((lockedChildBits & 2) != 0 ? 0x20 : 0));
  setLong("unrealUnit", unrealUnit != 0);
  setLong("extraA", extraA);
  RecordField(record, "quantity").SetQuantity(r, quantity);
}

void zelvproElement::LoadFromRecord(ppDatafile& record) {
  ReadPlacementFields(record);
  zelvproLayerPalette* palette = iElementHost::Current().LayerPalette();
  saveId = palette != nullptr ? palette->NextId() : 0;
  selected = 0;
  Select(true);
}

void zelvproElement::GetColorValue(Vcon::WString& out) {
  out = Vcon::WString();
  if (colorRecordId == 0 || database == nullptr) return;
  zelvproColorCatalogFil& colours = database->ColorCatalogFile();
  ScopedRecordBuffer<ppDatafile> buffer(colours);
  colours.ReadRecord(colorRecordId, buffer.Get());
  out = RecordField(colours, "tname").WideText(buffer.Get());
}

void zelvproElement::ApplyColorRecord(int32_t id, zelvDatabase* owner, int32_t flag) {
  if (id == 0) return;
  if (database == owner && owner != nullptr) {
    const int32_t candidate = ValidateColorRecord(id, extraA);
    if (candidate == id) {
      colorRecordId = id;
      MarkTreeNeedsRedraw();
    } else if (ValidateColorRecord(colorRecordId, extraA) != colorRecordId) {
      const bool differed = colorRecordId != candidate;
      colorRecordId = candidate;
      if (differed) MarkTreeNeedsRedraw();
    }
    owner->SetCurrentColorId(id);
  }
  ForEachChildElement(*this, [&](zelvproElement* child) { child->ApplyColorRecord(id, owner, flag); });
}

void zelvproElement::EnsureColorRecord() {
  if (colorRecordId == 0 && database != nullptr)
    colorRecordId = ValidateColorRecord(database->CurrentColorId(), extraA);
  InvalidateGeometry();
}

uint32_t zelvproElement::CollectBitMask(bool withChildren) {
  uint32_t bits = uint32_t{1} << (uint32_t(extraA - 1) & 31u);
  if (withChildren)
    ForEachChildElement(*this, [&](zelvproElement* child) { bits |= child->CollectBitMask(true); });
  return bits;
}
