// Saving a top-view element into its document-module record, the re-snap of a part that sits in a
// grid cell, and the element's small operations: display name, unit preview, command filter and the
// extras dialog.
#include <cstring>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproClassFil.h"
#include "catalogue/records/zelvproDepthFil.h"
#include "catalogue/records/zelvproOptionValueFil.h"
#include "catalogue/records/zelvproPreviewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/HandleList.h"
#include "database/ppDatafile.h"
#include "elements/topview/CatalogReads.h"
#include "elements/topview/ScratchRecord.h"
#include "elements/topview/TopViewPanelBuilder.h"
#include "elements/base/iElementHost.h"
#include "elements/topview/qxExtrasDialog.h"
#include "elements/topview/zelvproTopViewElement.h"

namespace {

// Interior-lock and related bits of "lockedChild" (the base keeps 0x4 and 0x20 there).
constexpr int32_t kCreatedByParentBit = 0x1, kInteriorLockBit = 0x2, kHiddenNumberBit = 0x8,
                  kLockedChildBit = 0x10;

void SetBlob(ppDatafile& record, const char* name, const void* bytes, size_t size) {
  Handle data = RecordField(record, name).Data(record.GetRecordBuffer());
  if (data == nullptr) return;
  MemSetSize(data, uint32_t(size));
  if (size != 0) std::memcpy(*data, bytes, size);
}

void SetWords(ppDatafile& record, const char* name, const std::vector<int32_t>& words) {
  // Little-endian 32-bit words, as the loader reads them.
  std::vector<uint8_t> bytes(words.size() * 4);
  for (size_t i = 0; i < words.size(); ++i) {
    const auto w = uint32_t(words[i]);
    for (size_t b = 0; b < 4; ++b) bytes[i * 4 + b] = uint8_t(w >> (8 * b));
  }
  SetBlob(record, name, bytes.data(), bytes.size());
}

// The colour list as a counted-list block: count, capacity, entries.
std::vector<int32_t> CountedBlock(const std::vector<int32_t>& entries) {
  std::vector<int32_t> block = {int32_t(entries.size()), int32_t(entries.size())};
  block.insert(block.end(), entries.begin(), entries.end());
  return block;
}

}  // namespace

void zelvproTopViewElement::WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) {
  zelvproElement::WriteRecord(record, renumber, parentNumber);
  char* r = record.GetRecordBuffer();
  auto setLong = [&](const char* name, int32_t value) { RecordField(record, name).SetLong(r, value); };
  setLong("type", 0);
  // The price is only carried through saves (the calculation recomputes it); the custom-price mark
  // is stored as a raw 0 or 1.
  RecordField(record, "price").SetMoneyRaw(r, price.Raw());
  RecordField(record, "customPrice").SetMoneyRaw(r, customPriceSet != 0 ? 1 : 0);
  setLong("xposPosition", cellX);
  setLong("yposPosition", cellY);
  setLong("zposPosition", cellZ);
  SetWords(record, "colors", CountedBlock(colours));
  // The loader looks the depth record up by its stored id, which survives a rebuilt catalogue.
  setLong("depthID", database != nullptr && linkedRecord != 0
                         ? CatalogReads::LongOf(database->DepthFile(), linkedRecord, "id")
                         : 0);
  int32_t bits = RecordField(record, "lockedChild").Long(r);
  auto* supervisor = dynamic_cast<zelvproElement*>(GetSupervisor());
  const bool savedUnderSupervisor =
      renumber && supervisor != nullptr && parentNumber == supervisor->GetSaveId();
  if (interiorLocked && !savedUnderSupervisor) bits |= kInteriorLockBit;
  if (createdByParent) bits |= kCreatedByParentBit;
  if (lockedChild != 0) bits |= kLockedChildBit;
  if (hiddenNumber != 0) bits |= kHiddenNumberBit;
  setLong("lockedChild", bits);
  setLong("colorAred", extraWord);
  setLong("positioned", positionedWord);
  setLong("colorAgreen", int32_t(uint32_t(uint64_t(auxAmountB.Raw()))));
  setLong("colorAblue", auxWordA);
  const char* names[] = {"extraInfo1", "extraInfo2", "extraInfo3"};
  for (int32_t i = 0; i < 3; ++i) RecordField(record, names[i]).SetWideText(r, extraInfo[i].AsWString());
  SetBlob(record, "extras", extras.data(), extras.size());
  // Option choices: 0, the count, then {unit "id", class "id"} per option. An option without a
  // chosen unit saves 0, which the loader skips.
  std::vector<int32_t> choices = {0, int32_t(options.size())};
  for (const TopViewOption& option : options) {
    const bool known = database != nullptr;
    choices.push_back(known && option.chosenUnit != 0
                          ? CatalogReads::LongOf(database->UnitFile(), option.chosenUnit, "id")
                          : 0);
    choices.push_back(known ? CatalogReads::LongOf(database->ClassFile(), option.classId, "id") : 0);
  }
  SetWords(record, "privateData1", choices);
}

void zelvproTopViewElement::Resnap() {
  if ((flags & kInGridCell) == 0) {
    zelvproElement::Resnap();
    return;
  }
  auto* container = dynamic_cast<zelvproTopViewElement*>(ContainerElement());
  if (container == nullptr || (container->flags & kHasGrid) == 0) return;
  RegisterInGrid(container);
  if ((flags & kInsetPart) != 0) PropagateToChildren();
}

void zelvproTopViewElement::PropagateToChildren() {
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    if (auto* child = dynamic_cast<zelvproElement*>(children.At(i))) child->SetLinkedRecord(linkedRecord);
  }
}

bool zelvproTopViewElement::IsInsideCompartmentPart() {
  auto* container = dynamic_cast<zelvproTopViewElement*>(ContainerElement());
  if ((flags & kInGridCell) == 0 || container == nullptr || (container->flags & kHasGrid) == 0) return false;
  zelvproTopViewElement* owner = container->FindCellOwner(cellX, cellY, cellZ, 3);
  if (owner == nullptr) owner = container->FindCellOwner(cellX, cellY, cellZ, 7);
  if (owner == nullptr) return false;
  if (gridWidth < gridHeight)
    return owner->cellX < cellX && cellX + gridWidth < owner->cellX + owner->gridWidth;
  return owner->cellY < cellY && cellY + gridHeight < owner->cellY + owner->gridHeight;
}

Vcon::WString& zelvproTopViewElement::GetDisplayName(Vcon::WString& out, bool /*unitRead*/) {
  // The unit is read through a buffer of its own whether or not the caller has it current.
  if (unitRecordId == 0 || database == nullptr) {
    out = WideFromString(textA);
    return out;
  }
  const ScratchRecord unit(database->UnitFile(), unitRecordId);
  const int32_t value = unit.Long("optionValue");
  out = value != 0 ? ScratchRecord(database->OptionValueFile(), value).Wide("tname") : unit.Wide("tname");
  return out;
}

Handle zelvproTopViewElement::GetUnitPreview() {
  if (unitRecordId == 0 || database == nullptr) return nullptr;
  const int32_t preview = CatalogReads::LongOf(database->UnitFile(), unitRecordId, "preview");
  if (preview == 0) return nullptr;
  zelvproPreviewFil& previews = database->UnitFile().PreviewFile();
  ScopedRecordBuffer<ppDatafile> buffer(previews);
  if (!CatalogReads::Read(previews, preview, buffer.Get())) return nullptr;
  Handle picture = RecordField(previews, "preview").Data(buffer.Get());
  if (picture == nullptr || MemGetSize(picture) == 0) return nullptr;
  Handle copy = nullptr;
  MemDuplicate(picture, &copy);
  return copy;
}

void zelvproTopViewElement::DoCommand(int32_t command, intptr_t parameter) {
  if (command == 5000 && parameter != 0) {
    const int32_t id = reinterpret_cast<ppView*>(parameter)->GetCommandId();
    if (id == 4001 || id == 4005 || id == 6001) return;
  }
  zelvproElement::DoCommand(command, parameter);
}

void zelvproTopViewElement::ShowExtrasDialog() {
  if (ExtrasCatalogDatabase == nullptr) return;
  qxExtrasDialog dialog(extras, *ExtrasCatalogDatabase, iElementHost::Current().DocumentWindow());
  dialog.RunModal();
}

void zelvproTopViewElement::BuildInfoPanel(qxViewHolder* source) {
  if (database == nullptr) return;
  TopViewPanelBuilder(*this, source).Build();
}
