#include "elements/units/zelvproConfigElement.h"

#include <cstring>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproPreferences.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "database/ppDatafile.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/DrawOutlineEdges.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/iElementHost.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/zelvproLayerPalette.h"
#include "elements/shapes/zelvproShape.h"
#include "elements/topview/CalculationLine.h"
#include "elements/topview/PlanToPixels.h"
#include "elements/topview/ScratchRecord.h"
#include "elements/topview/iCalculationList.h"
#include "foundation/OwnedHandle.h"
#include "foundation/Vcon_HandleManager.h"
#include "framework/ppBrushSaver.h"
#include "framework/ppClipSaver.h"
#include "framework/ppDC.h"
#include "framework/ppRegion.h"
#include "foundation/HandleRoom.h"

namespace {

constexpr uint8_t kPlainMode = 4;

uint32_t ReadWord(const uint8_t* at) {
  return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

void AppendWord(std::vector<uint8_t>& out, uint32_t word) {
  for (int32_t shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(word >> shift));
}

// The catalogue's own name text, read into the settings file's buffer when it was opened.
Vcon::WString CatalogueName(zelvDatabase& db) {
  zelvproPreferences& file = db.SettingsFile();
  return RecordField(file, "tname").WideText(file.GetRecordBuffer());
}

}  // namespace

zelvproConfigElement::zelvproConfigElement(int32_t recordId, ppView* parent, const plat::RECT& frame,
                                           const char* record, zelvproShapeFil& shapes)
    : zelvproTopViewElement(recordId, parent, frame, record, shapes) {
  kind = ElementKinds::kConfigurable;
  if (database != nullptr) colorRecordId = AllowedColorRecordId(database->DefaultColorCatalogId());
}

zelvproConfigElement::zelvproConfigElement(ppView* parent, ppDatafile& module, bool refresh)
    : zelvproTopViewElement(parent, module, refresh) {
  kind = ElementKinds::kConfigurable;
  const char* r = module.GetRecordBuffer();
  if (Handle blob = RecordField(module, "points").Data(r)) {
    const int32_t size = MemGetSize(blob);
    if (size > 0) RestoreOutlinePoints(reinterpret_cast<const uint8_t*>(*blob), size_t(size));
  }
  price = ppMoney::FromRaw(RecordField(module, "price").MoneyRaw(r));
  name = RecordField(module, "name").Text(r);
}

void zelvproConfigElement::RestoreOutlinePoints(const uint8_t* blob, size_t size) {
  size_t at = 0;
  for (zelvproShape* shape = outlines.get(); shape != nullptr; shape = shape->next.get()) {
    if (size - at < 4) return;
    const uint32_t length = ReadWord(blob + at);
    at += 4;
    // A length the zone cannot hold ends the outlines as a length past the blob does.
    if (length == 0 || length > size - at || !MemTrySetSize(shape->points, length)) return;
    std::memcpy(*shape->points, blob + at, length);
    shape->ClearCache();
    at += length;
  }
}

std::vector<uint8_t> zelvproConfigElement::SaveOutlinePoints() const {
  std::vector<uint8_t> out;
  for (const zelvproShape* shape = outlines.get(); shape != nullptr; shape = shape->next.get()) {
    const int32_t length = MemGetSize(shape->points);
    // A 0 length ends the reading: the outlines from here on keep their catalogue points.
    if (length <= 0) break;
    AppendWord(out, uint32_t(length));
    const auto* bytes = reinterpret_cast<const uint8_t*>(*shape->points);
    out.insert(out.end(), bytes, bytes + length);
  }
  AppendWord(out, 0);
  return out;
}

void zelvproConfigElement::WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) {
  zelvproTopViewElement::WriteRecord(record, renumber, parentNumber);
  char* r = record.GetRecordBuffer();
  RecordField(record, "type").SetLong(r, ElementKinds::kConfigurable);
  if (Handle blob = RecordField(record, "points").Data(r)) {
    const std::vector<uint8_t> bytes = SaveOutlinePoints();
    MemSetSize(blob, uint32_t(bytes.size()));
    std::memcpy(*blob, bytes.data(), bytes.size());
  }
  RecordField(record, "name").SetText(r, name);
  RecordField(record, "price").SetMoneyRaw(r, price.Raw());
}

ppTask* zelvproConfigElement::CreateMoverTask(qxViewHolder* selection, zelvproCanvas* canvas,
                                              void* /*feedbackSource*/) {
  return iElementTaskFactory::Current().NewConfigTask(selection, canvas, this);
}

int32_t zelvproConfigElement::AllowedColorRecordId(int32_t id) {
  if (recordId == 0 || database == nullptr) return id;
  const std::vector<int32_t> allowed = ScratchRecord(database->TopViewFile(), recordId).Words("Colors");
  if (allowed.empty()) return id;
  for (int32_t colour : allowed) {
    if (colour == id) return id;
  }
  return allowed.front();
}

void zelvproConfigElement::ApplyColorRecord(int32_t id, zelvDatabase* owner, int32_t mask) {
  zelvproElement::ApplyColorRecord(id, owner, mask);
}

void zelvproConfigElement::AddToCalculation() {
  iCalculationList& list = iCalculationList::Current();
  list.RemoveElementLines(this);
  ppDatafile* file = list.LineFile();
  if (calculate != 0 && file != nullptr && database != nullptr) {
    CalculationLine line(*file, list);
    line.Clear();
    zelvproLayerPalette* palette = iElementHost::Current().LayerPalette();
    line.SetLong("id", palette != nullptr ? palette->NextId() : 0);
    FillCalculationLine(line);
    line.Finish();
    line.Add();
    list.ShowLastLine();
  }
  ForEachChildElement(*this, [](zelvproElement* child) { child->AddToCalculation(); });
}

void zelvproConfigElement::FillCalculationLine(CalculationLine& line) {
  line.SetLong("topViewID", recordId);
  line.SetLong("priceID", 0);
  line.SetLong("unitID", 0);
  line.SetLong("colorID", 0);
  line.SetQuantity("pcs", DecimalNumber(int32_t{1}));
  line.SetMoney("price", price);
  line.SetLong("type", kConfigLine);
  line.SetLong("tag", tag);
  if (database != nullptr) line.SetWide("tdbText", CatalogueName(*database));
  line.SetWide("ttext", Vcon::WString(name));
  line.refs.element = this;
  line.refs.db = database;
}

void zelvproConfigElement::DrawContent(ppDC& dc) {
  ppBrushSaver brushes(dc);
  ppClipSaver clip(dc);
  if (ppView* supervisor = GetSupervisor()) supervisor->ClipToVisible(dc);
  const PlanToPixels screen = PlanToPixels::Screen();
  const ppRGBColor edges = IsSelected() ? ppRGBColor{50, 0, 0} : ppRGBColor{0, 0, 0};
  ForEachOutline([&](Handle points) {
    OwnedHandle pixels(screen.Map(*this, points));
    std::unique_ptr<ppRegion> region = PointListToRegion(pixels.Get());
    dc.SetCopyMode();
    dc.SetGray(100);
    dc.PaintRegion(*region);
    DrawOutlineEdges(pixels.Get(), dc, edges, kPlainMode, nullptr);
  });
}
