// The order file lines of a top-view element ("MODUL" and "KOMPONENT"), and the parts list that
// breaks units down the same way. Texts are narrow (the ANSI code page); fields end with TAB, a line
// with CR LF. A field that applies but has no record is "0"; one that does not apply is "-".
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproDepthFil.h"
#include "catalogue/records/zelvproPreferences.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/base/PartsList.h"
#include "elements/base/iOrderWriter.h"
#include "elements/topview/CatalogReads.h"
#include "elements/topview/ScratchRecord.h"
#include "elements/topview/UnitChain.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/FileOperations.h"
#include "foundation/ppParameter.h"

namespace {

constexpr char kTab = '\t', kReturn = '\r';
// Unit "flags": delivered as its parts list; takes no colour; takes no depth.
constexpr int32_t kPartsListUnit = 0x1, kNoColour = 0x4, kNoDepth = 0x8;
// Part flags: takes the element's colour; takes its depth; optional.
constexpr int32_t kTakesColour = 0x2, kTakesDepth = 0x4, kOptional = 0x8;
// The positioned word's bit: optional parts are wanted.
constexpr int32_t kWantsOptional = 0x2;
constexpr size_t kPartEntry = 12;

struct Component {
  int32_t unit, quantity, flags;
};

// The components of unit `unit`: its parts list, or the unit itself; none without a unit.
std::vector<Component> ComponentsOf(zelvproUnitFil& units, int32_t unit, int32_t positioned) {
  if (unit == 0) return {};  // no unit, nothing to deliver
  const ScratchRecord record(units, unit);
  const int32_t flags = record.Long("flags");
  if ((flags & kPartsListUnit) == 0) {
    const int32_t own =
        ((flags & kNoColour) == 0 ? kTakesColour : 0) | ((flags & kNoDepth) == 0 ? kTakesDepth : 0);
    return {{unit, 1, own}};
  }
  std::vector<Component> parts;
  const std::vector<uint8_t> blob = record.Blob("partsList");
  for (size_t at = 0; at + kPartEntry <= blob.size(); at += kPartEntry) {
    const size_t w = at / 4;
    const Component part{CatalogReads::WordAt(blob, w), CatalogReads::WordAt(blob, w + 1),
                         CatalogReads::WordAt(blob, w + 2)};
    if ((part.flags & kOptional) != 0 && (positioned & kWantsOptional) == 0) continue;
    parts.push_back(part);
  }
  return parts;
}

// A record's text field as narrow text; "0" for record id 0 (no record: never the file's current one).
Vcon::String TextOf(ppDatafile& file, int32_t id, const char* field) {
  if (id == 0) return "0";
  return NarrowFromWide(ScratchRecord(file, id).Wide(field));
}

Vcon::String Number(int32_t value) { return ppParameter(value).AsString(); }

}  // namespace

void zelvproTopViewElement::AppendCharToFile(ppFileSpec& file, const Vcon::String& text, char end) {
  Vcon::String bytes = text;
  bytes += end;
  if (end == kReturn) bytes += '\n';
  FileWrite(file, bytes.data(), uint32_t(bytes.size()), kFileCurrentPosition);
}

int32_t zelvproTopViewElement::OrderColour() {
  if (colours.empty()) return colorRecordId;
  return extraA >= 1 && size_t(extraA) <= colours.size() ? colours[size_t(extraA - 1)] : 0;
}

void zelvproTopViewElement::WriteOrderModule(iOrderWriter& writer) {
  if (database == nullptr) return;
  ppFileSpec& file = writer.File();
  const int32_t module = writer.NextModule();
  // The catalogue keeps its one settings record, with its texts in the current language, in the
  // settings file's own buffer.
  zelvproPreferences& settings = database->SettingsFile();
  AppendCharToFile(file, "MODUL", kTab);
  AppendCharToFile(file, Number(writer.OrderNumber()), kTab);
  AppendCharToFile(file, Number(module), kTab);
  AppendCharToFile(file, NarrowFromWide(RecordField(settings, "tname").WideText(settings.GetRecordBuffer())),
                   kTab);
  AppendCharToFile(file, TextOf(database->UnitFile(), unitRecordId, "tnumber"), kTab);
  AppendCharToFile(file, "-", kTab);
  AppendCharToFile(file, TextOf(database->DepthFile(), linkedRecord, "tname"), kTab);
  std::vector<int32_t> written = colours;
  if (written.empty()) written.push_back(colorRecordId);
  for (int32_t colour : written)
    AppendCharToFile(file, TextOf(database->ColorCatalogFile(), colour, "tnumber"), kTab);
  for (size_t filler = written.size(); filler < 3; ++filler) AppendCharToFile(file, "0", kTab);
  AppendCharToFile(file, "-", kReturn);
  WriteComponentLines(writer);
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    if (auto* child = dynamic_cast<zelvproTopViewElement*>(children.At(i)))
      child->WriteComponentLines(writer);
  }
}

void zelvproTopViewElement::WriteComponentLines(iOrderWriter& writer) {
  if (database == nullptr) return;
  ppFileSpec& file = writer.File();
  zelvproUnitFil& units = database->UnitFile();
  const int32_t unit = UnitChain::End(units, ResolveAccessId());
  for (const Component& part : ComponentsOf(units, unit, positionedWord)) {
    AppendCharToFile(file, "KOMPONENT", kTab);
    AppendCharToFile(file, Number(writer.OrderNumber()), kTab);
    AppendCharToFile(file, Number(writer.CurrentModule()), kTab);
    AppendCharToFile(file, TextOf(units, part.unit, "tnumber"), kTab);
    const bool depth = (part.flags & kTakesDepth) != 0, colour = (part.flags & kTakesColour) != 0;
    AppendCharToFile(file, depth ? TextOf(database->DepthFile(), linkedRecord, "tname") : "-", kTab);
    AppendCharToFile(file, colour ? TextOf(database->ColorCatalogFile(), OrderColour(), "tnumber") : "-",
                     kTab);
    AppendCharToFile(file, Number(cellX), kTab);
    AppendCharToFile(file, Number(cellY), kReturn);
  }
}

void zelvproTopViewElement::AddUnitParts(PartsList& parts, int32_t unit) {
  zelvproUnitFil& units = database->UnitFile();
  for (const Component& part : ComponentsOf(units, UnitChain::End(units, unit), positionedWord)) {
    parts.AddPartEntry(part.unit, (part.flags & kTakesColour) != 0 ? OrderColour() : 0,
                       (part.flags & kTakesDepth) != 0 ? linkedRecord : 0, part.quantity);
  }
}

void zelvproTopViewElement::CollectParts(PartsList& parts) {
  if (database != nullptr) {
    AddUnitParts(parts, ResolveAccessId());
    for (const TopViewOption& option : options) {
      if ((option.optionFlags & TopViewOption::kNotInUse) == 0) AddUnitParts(parts, option.chosenUnit);
    }
  }
  zelvproElement::CollectParts(parts);
}
