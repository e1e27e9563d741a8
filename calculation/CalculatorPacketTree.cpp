#include "calculation/CalculatorPacketTree.h"

#include <algorithm>
#include <tuple>

#include "calculation/zelvproCalculatorFil.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproPacketFil.h"
#include "catalogue/records/zelvproPreferences.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "calculation/CalculationCatalogViews.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproLayerPalette.h"

namespace {

constexpr uint32_t kItemWords = 3;       // unit, a second word, count
constexpr uint32_t kIncludeWords = 2;    // unit, colour
constexpr int32_t kByColourGroup = 0x8;  // packet "flags": priced by the colour's group
constexpr int32_t kColourless = 0x4;     // unit "flags": the unit has no colour of its own

const ppMoney kNoAmount = ppMoney::FromRaw(ppMoney::kNoValue);

auto Key(const PacketEntry& e) { return std::tie(e.family, e.colour, e.tag, e.unit); }

int32_t NextLineId() {
  zelvproLayerPalette* palette = iElementHost::Current().LayerPalette();
  return palette != nullptr ? palette->NextId() : 0;
}

}  // namespace

CalculatorPacketTree::CalculatorPacketTree(zelvDatabase& db)
    : db_(db),
      prices_(std::make_unique<zelvproPriceFil>(db)),
      packets_(std::make_unique<zelvproPacketFil>(db)),
      units_(std::make_unique<zelvproUnitFil>(db)),
      colours_(std::make_unique<zelvproColorCatalogFil>(db)),
      catalogueGroups_(std::make_unique<ppDatafile>("qxGroup", db)) {
  units_->SelectAll();
  for (int32_t i = 0; i < units_->GetSelectedCount(); ++i) {
    const int32_t id = units_->RecordIdAt(i);
    unitPosition_.emplace(id, unitIds_.size());
    unitIds_.push_back(id);
  }
  families_.assign(unitIds_.size(), -1);

  const RecordField unit(*packets_, "unitID"), level(*packets_, "level"), flags(*packets_, "flags"),
      items(*packets_, "items");
  packets_->SelectAll();
  for (int32_t i = 0; i < packets_->GetSelectedCount(); ++i) {
    packets_->ReadRecordAt(i, nullptr);
    const char* b = packets_->GetRecordBuffer();
    PacketRecord packet{unit.Long(b), level.Long(b), flags.Long(b), {}};
    const std::vector<int32_t> words = items.Words(b);
    for (size_t at = 0; at + kItemWords <= words.size(); at += kItemWords) {
      const int32_t itemUnit = words[at], count = words[at + 2];
      auto found = unitPosition_.find(itemUnit);
      // The last packet record in record order that names a unit decides its family.
      if (found != unitPosition_.end()) families_[found->second] = packet.level;
      if (itemUnit == 0) continue;
      for (int32_t n = 0; n < count; ++n) packet.required.push_back(itemUnit);
    }
    packetRecords_.push_back(std::move(packet));
  }
}

CalculatorPacketTree::~CalculatorPacketTree() = default;

int32_t CalculatorPacketTree::FamilyOf(int32_t unit) const {
  auto found = unitPosition_.find(unit);
  return found != unitPosition_.end() ? families_[found->second] : -1;
}

void CalculatorPacketTree::AddLine(zelvproCalculatorFil& lines, int32_t position, char* buffer) {
  const RecordField unit(lines, "unitID"), colour(lines, "colorID"), priceId(lines, "priceID"),
      tag(lines, "tag"), price(lines, "price"), price2(lines, "price2"), id(lines, "id"), pcs(lines, "pcs");
  const int32_t family = FamilyOf(unit.Long(buffer));
  if (family == -1) return;
  DecimalNumber quantity = pcs.Quantity(buffer);
  const int64_t whole = quantity.ToInt64();
  for (int64_t k = 0; k < whole; ++k) {
    auto entry = std::make_unique<PacketEntry>();
    entry->unit = unit.Long(buffer);
    entry->colour = colour.Long(buffer);
    entry->priceId = priceId.Long(buffer);
    entry->tag = tag.Long(buffer);
    entry->db = &db_;
    entry->linePosition = position;
    entry->price = ppMoney::FromRaw(price.MoneyRaw(buffer));
    entry->price2 = ppMoney::FromRaw(price2.MoneyRaw(buffer));
    entry->family = family;
    entry->lineId = id.Long(buffer);
    // Before the first entry that is not less: among equal keys the newest comes first.
    auto at = std::lower_bound(entries_.begin(), entries_.end(), entry,
                               [](const auto& a, const auto& b) { return Key(*a) < Key(*b); });
    entries_.insert(at, std::move(entry));
  }
  // Only the whole pieces went into entries; a fraction of a piece stays on the line.
  if (whole > 0) {
    quantity -= DecimalNumber(whole);
    pcs.SetQuantity(buffer, quantity);
  }
}

void CalculatorPacketTree::Resolve() {
  for (size_t i = 0; i < entries_.size();) {
    auto group = std::make_unique<PacketGroup>();
    group->family = entries_[i]->family;
    group->colour = entries_[i]->colour;
    group->tag = entries_[i]->tag;
    group->db = &db_;
    for (; i < entries_.size(); ++i) {
      const PacketEntry& e = *entries_[i];
      if (e.family != group->family || e.colour != group->colour || e.tag != group->tag) break;
      group->entries.push_back(std::move(entries_[i]));
    }
    MakeCandidates(*group);
    group->Choose(budget_);
    groups_.push_back(std::move(group));
  }
  entries_.clear();
}

void CalculatorPacketTree::MakeCandidates(PacketGroup& group) {
  for (const PacketRecord& packet : packetRecords_) {
    if (packet.level != group.family) continue;
    auto candidate = std::make_unique<PacketCandidate>();
    candidate->family = packet.level;
    candidate->packetUnit = packet.unit;
    candidate->anyColour = packet.flags != 0;
    candidate->priceByColourGroup = (packet.flags & kByColourGroup) != 0;
    candidate->db = &db_;
    candidate->required = packet.required;
    PriceFound price;
    if (!candidate->priceByColourGroup)
      price = LookupPrice(packet.unit, group.colour, false);
    else if (group.colour != 0)
      price = LookupPrice(packet.unit, group.colour, true);
    if (price.id == 0) continue;  // a packet without a price is never formed
    candidate->priceId = price.id;
    candidate->price = price.price;
    candidate->price2 = price.price2;
    group.candidates.push_back(std::move(candidate));
  }
}

int32_t CalculatorPacketTree::ColourGroupOf(int32_t colour) {
  if (colour == 0 || !CalculationCatalogViews::Read(*colours_, colour)) return 0;
  return RecordField(*colours_, "colorGroup").Long(colours_->GetRecordBuffer());
}

CalculatorPacketTree::PriceFound CalculatorPacketTree::LookupPrice(int32_t unit, int32_t colour,
                                                                   bool byColourGroup) {
  PriceFound found;
  found.id = byColourGroup ? prices_->LookupPrice(unit, 0, ColourGroupOf(colour), 0, nullptr)
                           : prices_->LookupPrice(unit, colour, 0, 0, nullptr);
  if (found.id == 0) return found;
  // The price table's read applies the document's price factor and rounding.
  if (!CalculationCatalogViews::Read(*prices_, found.id)) return PriceFound{};
  const char* b = prices_->GetRecordBuffer();
  found.price = ppMoney::FromRaw(RecordField(*prices_, "price").MoneyRaw(b));
  found.price2 = ppMoney::FromRaw(RecordField(*prices_, "price2").MoneyRaw(b));
  return found;
}

void CalculatorPacketTree::Emit(zelvproCalculatorFil& lines) {
  for (const auto& group : groups_) {
    for (const auto& candidate : group->candidates) {
      for (const PacketEntry* packet : candidate->Formed()) EmitLine(lines, *packet);
    }
    for (const PacketEntry* entry : group->Left()) EmitLine(lines, *entry);
  }
}

void CalculatorPacketTree::PriceFields(zelvproCalculatorFil& lines, const PriceFound& price) {
  char* b = lines.GetRecordBuffer();
  RecordField(lines, "priceID").SetLong(b, price.id);
  RecordField(lines, "price").SetMoneyRaw(b, price.price.Raw());
  RecordField(lines, "price2").SetMoneyRaw(b, price.price2.Raw());
  if (price.id == 0) {
    // An included line is made in the buffer of the line before: it must not show that line's
    // article.
    RecordField(lines, "tpriceText").SetWideText(b, Vcon::WString());
    RecordField(lines, "ttext").SetWideText(b, Vcon::WString());
    return;
  }
  const char* p = prices_->GetRecordBuffer();
  RecordField(lines, "tpriceText").SetWideText(b, Vcon::WString(RecordField(*prices_, "orderno").Text(p)));
  Vcon::WString text = RecordField(*prices_, "text").WideText(p);
  if (text.empty()) text = Vcon::WString(RecordField(*prices_, "SKU").Text(p));
  RecordField(lines, "ttext").SetWideText(b, text);
}

int32_t CalculatorPacketTree::UnitTexts(zelvproCalculatorFil& lines, int32_t unit, int32_t colour) {
  char* b = lines.GetRecordBuffer();
  int32_t flags = 0, group = 0;
  if (CalculationCatalogViews::Read(*units_, unit)) {
    flags = RecordField(*units_, "flags").Long(units_->GetRecordBuffer());
    group = RecordField(*units_, "group").Long(units_->GetRecordBuffer());
  }
  Vcon::String sort;
  if (group != 0 && CalculationCatalogViews::Read(*catalogueGroups_, group))
    sort = RecordField(*catalogueGroups_, "Sort").Text(catalogueGroups_->GetRecordBuffer());
  RecordField(lines, "group").SetText(b, sort);
  Vcon::WString colourText;
  if (colour != 0 && (flags & kColourless) == 0 && CalculationCatalogViews::Read(*colours_, colour))
    colourText = RecordField(*colours_, "tname").WideText(colours_->GetRecordBuffer());
  RecordField(lines, "tcolorText").SetWideText(b, colourText);
  return flags;
}

void CalculatorPacketTree::EmitLine(zelvproCalculatorFil& lines, const PacketEntry& entry) {
  if (entry.unit == 0) return;
  lines.ClearBuffer();
  char* b = lines.GetRecordBuffer();
  auto setLong = [&](const char* name, int32_t value) { RecordField(lines, name).SetLong(b, value); };
  setLong("unitID", entry.unit);
  setLong("colorID", entry.colour);
  setLong("tag", entry.tag);
  RecordField(lines, "pcs").SetQuantity(b, DecimalNumber(1.0));
  setLong("missing", entry.missing);
  setLong("type", zelvproCalculatorFil::kCalculationItem);
  setLong("packet", entry.packetLine ? 1 : 0);
  lines.BufferRefs(nullptr) = {nullptr, &db_};
  setLong("databaseID", db_.Identifier());
  PriceFields(lines, LookupPrice(entry.unit, entry.colour, entry.priceByColourGroup && entry.colour != 0));
  RecordField(lines, "tdbText").SetWideText(b, db_.SettingsFile().LocalName());
  UnitTexts(lines, entry.unit, entry.colour);
  lines.PriceUnit(nullptr);

  std::vector<int32_t> includes;
  if (CalculationCatalogViews::Read(*units_, entry.unit))
    includes = RecordField(*units_, "pricingIncludes").Words(units_->GetRecordBuffer());
  for (size_t at = 0; at + kIncludeWords <= includes.size(); at += kIncludeWords) {
    const int32_t unit = includes[at];
    const int32_t colour = includes[at + 1] != 0 ? includes[at + 1] : entry.colour;
    setLong("id", NextLineId());
    setLong("unitID", unit);
    setLong("colorID", colour);
    const int32_t flags = UnitTexts(lines, unit, colour);
    RecordField(lines, "pcs").SetQuantity(b, DecimalNumber(1.0));
    setLong("type", zelvproCalculatorFil::kCalculationItem);
    setLong("element", 0);
    lines.BufferRefs(nullptr).element = nullptr;
    setLong("packet", entry.packetLine ? 1 : 0);
    PriceFields(lines, LookupPrice(unit, (flags & kColourless) != 0 ? 0 : colour, false));
    lines.BuildLineTexts(nullptr);
    lines.PriceUnit(nullptr);
  }
}
