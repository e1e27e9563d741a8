// The calculation lines of a top-view element: its own line, the lines its unit includes, the lines
// of its chosen option units, and the price sums of the price field. Lines are built in the shared
// buffer of the calculation file and handed to the calculation, which merges and sorts them.
#include <algorithm>
#include <cmath>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproClassFil.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproColorCodeFil.h"
#include "catalogue/records/zelvproDepthFil.h"
#include "catalogue/records/zelvproGroupFil.h"
#include "catalogue/records/zelvproPreferences.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/ScopedRecordBuffer.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/SizeBounds.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproLayerPalette.h"
#include "elements/topview/CalculationLine.h"
#include "elements/topview/CatalogReads.h"
#include "elements/topview/ScratchRecord.h"
#include "elements/topview/UnitChain.h"
#include "elements/topview/iCalculationList.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/LengthText.h"
#include "foundation/PriceRounding.h"
#include "foundation/TextsById.h"
#include "foundation/UserPreferences.h"

namespace {

// Unit "flags": priced through its parts list; colourless; its depth does not price.
constexpr int32_t kPartsListUnit = 0x1, kColourless = 0x4, kDepthFree = 0x8;
// Parts-list entry flags: the colour group prices the part; the depth does; the naming part.
constexpr int32_t kPartColourGroup = 0x2, kPartDepth = 0x4, kNamingPart = 0x8;
constexpr size_t kPartEntry = 12, kIncludeEntry = 8;
// Flag word: priced children go into the own line; the stretch bits of width, height and depth.
constexpr uint32_t kChildrenIntoLine = 0x80000;
constexpr uint32_t kStretchWidth = 0x20000000, kStretchHeight = 0x40000000, kStretchDepth = 0x80000000;
// Second flag word: the quantity counts width, height, depth; a child priced into its parent.
constexpr int32_t kQuantityWidth = 0x10, kQuantityHeight = 0x20, kQuantityDepth = 0x40;
constexpr int32_t kPricedIntoParent = 0x40000;
// Option word: not priced; the chosen unit becomes the line's unit.
constexpr uint32_t kOptionNotPriced = 0x4, kOptionSetsUnit = 0x2;
// Class flags: the option gets lines of its own; the option is left out of the own line.
constexpr int32_t kClassOwnLines = 0x4, kClassLeftOut = 0x8;
// Parent flag word: children take over the parent's number. Snap flags: takes the partner's number.
constexpr uint32_t kNumbersChildren = 0x80, kSnapTakesNumber = 0x400;
// Positioned word: parts marked as naming parts are taken.
constexpr int32_t kTakesNamingParts = 0x2;
constexpr uint32_t kNamingDeviation = 0x10000;
// Application flags2: the long item text.
constexpr uint32_t kLongItemText = 0x200;
constexpr int32_t kCalculationItem = 1;
constexpr int32_t kWidthLabel = 6240, kHeightLabel = 6241, kDepthLabel = 6242, kSizeLabel = 6337;
constexpr int32_t kDepthName = 6076;

// A unit priced through its parts has no article of its own: its line is named by the unit, its
// name as the item text and its number as the article text, so that the list, the printed list and
// the order say what was ordered rather than nothing (the price link stays the last part's).
void NameByUnit(CalculationLine& line, const ScratchRecord& unit) {
  line.SetWide("ttext", unit.Wide("tname"));
  line.SetWide("tpriceText", unit.Wide("tnumber"));
}

struct Settings {
  bool extended = false;
  bool depthInPricing = false;
  Vcon::WString name;
};

Settings SettingsOf(zelvDatabase& db) {
  zelvproPreferences& file = db.SettingsFile();
  const ScratchRecord record(file, file.GetRecordCount() > 0 ? file.RecordIdAt(0) : 0);
  // The name in the current language stands in the settings file's own buffer, read at opening.
  return {(record.Long("useExtendedColorSystem") & 0x1) != 0, record.Long("useDepthInPricing") != 0,
          RecordField(file, "tname").WideText(file.GetRecordBuffer())};
}

// The fields of a price record the lines take.
struct PriceRecord {
  ppMoney price, price2;
  Vcon::String orderno, sku;
  Vcon::WString text;
  int32_t delivery = 0;
  // The item text of the short form: the record's text, or its SKU when the text is empty.
  Vcon::WString ShortText() const { return text.empty() ? WideFromNarrow(sku.c_str()) : text; }
};

PriceRecord ReadPrice(zelvproPriceFil& prices, int32_t id) {
  ScopedRecordBuffer<ppDatafile> buffer(prices);
  PriceRecord r;
  if (!CatalogReads::Read(prices, id, buffer.Get())) return r;
  const char* b = buffer.Get();
  r.price = ppMoney::FromRaw(RecordField(prices, "price").MoneyRaw(b));
  r.price2 = ppMoney::FromRaw(RecordField(prices, "price2").MoneyRaw(b));
  r.orderno = RecordField(prices, "orderno").Text(b);
  r.sku = RecordField(prices, "SKU").Text(b);
  r.text = RecordField(prices, "text").WideText(b);
  r.delivery = RecordField(prices, "delivery").Long(b);
  return r;
}

struct PartEntry {
  int32_t unit, count, flags;
};

std::vector<PartEntry> PartsOf(const ScratchRecord& unit) {
  std::vector<PartEntry> parts;
  const std::vector<uint8_t> blob = unit.Blob("partsList");
  for (size_t at = 0; at + kPartEntry <= blob.size(); at += kPartEntry) {
    const size_t w = at / 4;
    parts.push_back({CatalogReads::WordAt(blob, w), CatalogReads::WordAt(blob, w + 1),
                     CatalogReads::WordAt(blob, w + 2)});
  }
  return parts;
}

// The colour-code record's position in the colour-code table; -1 when it is not there.
int32_t ColourCodeIndex(zelvDatabase& db, int32_t code) {
  if (code == 0) return -1;
  for (int32_t i = 0; i < CatalogReads::ColourCodeCount(db); ++i) {
    if (CatalogReads::ColourCodeAt(db, i) == code) return i;
  }
  return -1;
}

// The group's "Sort" text of the unit's group record; empty without one.
Vcon::String GroupSortOf(zelvDatabase& db, int32_t group) {
  if (group == 0) return {};
  ScopedRecordBuffer<ppDatafile> buffer(db.GroupFile());
  if (!CatalogReads::Read(db.GroupFile(), group, buffer.Get())) return {};
  return RecordField(db.GroupFile(), "Sort").Text(buffer.Get());
}

void ApplyFactor(CalculationLine& line) {
  for (const char* name : {"price", "price2"}) {
    ppMoney amount = line.Money(name);
    ApplyPriceFactorAndRounding(amount, false);
    line.SetMoney(name, amount);
  }
}

int32_t NextLineId() {
  zelvproLayerPalette* palette = iElementHost::Current().LayerPalette();
  return palette != nullptr ? palette->NextId() : 0;
}

Vcon::WString Length(float millimetres, uint32_t mode) {
  Vcon::WString text;
  FormatLength(millimetres, text, mode);
  return text;
}

// The colour position of the own line: the element's own group, or the group of its unit's colour
// code; -1 when it names no colour of the list.
int32_t OwnColourPosition(zelvDatabase& db, int32_t extraA, int32_t unitColourCode, size_t colourCount) {
  int32_t position = extraA - 1;
  if (unitColourCode != 0) {
    const int32_t index = ColourCodeIndex(db, unitColourCode);
    if (index >= 0) position = index;
  }
  if (position >= int32_t(colourCount)) position = 0;
  return position >= 0 && position < int32_t(colourCount) ? position : -1;
}

}  // namespace

// ---- Helpers.

int32_t zelvproTopViewElement::ElementNumber() { return GetValueByName("EnumNumber").ToInt(); }

int32_t zelvproTopViewElement::PricingDepth(int32_t unitFlags) {
  return SettingsOf(*database).depthInPricing && (unitFlags & kDepthFree) == 0 ? linkedRecord : 0;
}

DecimalNumber zelvproTopViewElement::StretchQuantity() {
  const int32_t divisor = quantityRule == 2 ? 10 : quantityRule == 3 ? 1000 : 1;
  DecimalNumber quantity(int32_t{1});
  const std::pair<int32_t, float> sizes[] = {
      {kQuantityWidth, dimensions.x}, {kQuantityHeight, dimensions.y}, {kQuantityDepth, dimensions.z}};
  for (const auto& [bit, size] : sizes) {
    if ((auxWordC & bit) != 0) quantity *= double(size) / double(divisor);
  }
  return quantity;
}

void zelvproTopViewElement::FillDimensions(CalculationLine& line) {
  struct Stretch {
    uint32_t bit;
    int32_t label;
    const char* fallback;
    float size;
  } stretches[] = {{kStretchWidth, kWidthLabel, "W: ", dimensions.x},
                   {kStretchHeight, kHeightLabel, "H: ", dimensions.y},
                   {kStretchDepth, kDepthLabel, "D: ", dimensions.z}};
  Vcon::WString text;
  for (const Stretch& s : stretches) {
    if ((flags & s.bit) == 0) continue;
    if (!text.empty()) text += u", ";
    Vcon::WString label = WideFromNarrow(s.fallback);
    GetTextById(s.label, label);
    text += label;
    text += Length(s.size, 0);
  }
  line.SetWide("dimensions", text);
}

int32_t zelvproTopViewElement::OptionColourPosition(int32_t unit) {
  const ScratchRecord record(database->UnitFile(), unit);
  int32_t position = 0;
  if (const int32_t topView = record.Long("topView"); topView != 0) {
    const int32_t code = CatalogReads::LongOf(database->TopViewFile(), topView, "colorCode");
    if (code != 0) position = CatalogReads::LongOf(database->ColorCodeFile(), code, "id") - 1;
  }
  if (const int32_t code = record.Long("colorCode"); code != 0) {
    const int32_t index = ColourCodeIndex(*database, code);
    position = index >= 0 ? index : extraA;
  }
  return position;
}

void zelvproTopViewElement::SumPartsList(PriceSum& sum, int32_t unit, int32_t colourPosition,
                                         int32_t* naming) {
  const ScratchRecord record(database->UnitFile(), unit);
  const int32_t unitFlags = record.Long("flags");
  const bool extended = SettingsOf(*database).extended;
  const int32_t colour = GetColorRecordId(colourPosition + 1);
  const int32_t depth = PricingDepth(unitFlags);
  zelvproPriceFil& prices = database->PriceFile();
  for (const PartEntry& part : PartsOf(record)) {
    if ((part.flags & kNamingPart) != 0) {
      if ((positionedWord & kTakesNamingParts) == 0) continue;
      if (naming != nullptr) *naming = part.unit;
      deviationBits |= kNamingDeviation;
    }
    int32_t found = 0;
    if (extended) {
      const int32_t group = CatalogReads::LongOf(database->ColorCatalogFile(), colour, "colorGroup");
      found = prices.LookupPrice(part.unit, 0, (part.flags & kPartColourGroup) != 0 ? group : 0,
                                 (part.flags & kPartDepth) != 0 ? depth : 0, nullptr);
    } else {
      // The part's own price: the line's unit has none (that is why its parts are summed).
      found = prices.LookupPrice(part.unit, (unitFlags & kColourless) != 0 ? 0 : colour, 0, 0, nullptr);
    }
    if (found == 0) continue;
    const PriceRecord price = ReadPrice(prices, found);
    sum.price += price.price * part.count;
    sum.price2 += price.price2 * part.count;
    sum.priceId = found;
  }
}

void zelvproTopViewElement::FillCalculationLine(CalculationLine& line) {
  CheckSubUnits(true);
  if (unitRecordId == 0) unitRecordId = ResolveAccessId();
  zelvproUnitFil& units = database->UnitFile();
  const int32_t unit = UnitChain::End(units, unitRecordId);
  const ScratchRecord record(units, unit);
  const int32_t unitFlags = record.Long("flags");
  const bool colourless = (unitFlags & kColourless) != 0;
  line.SetLong("topViewID", recordId);
  line.SetLong("unitID", unit);
  line.SetLong("colorID", colourless ? 0 : colorRecordId);
  line.SetLong("priceID", 0);
  FillDimensions(line);
  line.SetText("group", GroupSortOf(*database, record.Long("group")));
  const int32_t position = OwnColourPosition(*database, extraA, record.Long("colorCode"), colours.size());
  line.SetWide("tfrontColor",
               position >= 0 && !colourless
                   ? ScratchRecord(database->ColorCatalogFile(), colours[size_t(position)]).Wide("tname")
                   : Vcon::WString());
  zelvproElement* parent = ContainerElement();
  line.SetLong("sort5", 0);
  if (parent != nullptr && (parent->flags & kNumbersChildren) != 0) {
    line.SetLong("sequence", 1);
    line.SetLong("number", parent->GetValueByName("EnumNumber").ToInt());
    line.SetLong("sort5", parent->GetSaveId());
  }
  for (const SnapAnchor& anchor : snapPoints) {
    if ((anchor.flags & kSnapTakesNumber) == 0 || anchor.partner == nullptr) continue;
    line.SetLong("sequence", 1);
    line.SetLong("number", anchor.partner->GetValueByName("EnumNumber").ToInt());
  }
  PriceOwnLine(line, unit, unitFlags, position);
  line.SetWide("tdbText", SettingsOf(*database).name);
  line.refs.element = this;
  line.refs.db = database;
  Vcon::WString options;
  BuildOptionsText(options);
  line.SetWide("tOptions", options);
}

void zelvproTopViewElement::PriceOwnLine(CalculationLine& line, int32_t unit, int32_t unitFlags,
                                         int32_t position) {
  const Settings settings = SettingsOf(*database);
  const bool colourless = (unitFlags & kColourless) != 0;
  const int32_t depth = PricingDepth(unitFlags);
  zelvproPriceFil& prices = database->PriceFile();
  const int32_t colour = position >= 0 ? colours[size_t(position)] : colours.empty() ? colorRecordId : 0;
  auto groupOf = [&](int32_t c) {
    return colourless ? 0 : CatalogReads::LongOf(database->ColorCatalogFile(), c, "colorGroup");
  };
  int32_t found = 0;
  if ((unitFlags & kPartsListUnit) == 0) {
    if (settings.extended && (flags & kChildrenIntoLine) != 0) {
      // The dearest colour group prices the unit; an equal price keeps the earlier colour's record.
      int64_t best = 0;
      for (int32_t c : colours) {
        const int32_t id = prices.LookupPrice(unit, 0, groupOf(c), depth, nullptr);
        if (id == 0) continue;
        const ppMoney price = ReadPrice(prices, id).price;
        if (!price.IsNull() && price.Raw() > best) best = price.Raw(), found = id;
      }
      line.SetLong("colorID", colourless ? 0 : colour);
    } else if (settings.extended) {
      line.SetLong("colorID", colourless ? 0 : colour);
      const int32_t group = groupOf(colour);
      if (group != 0 || colourless) {
        found = prices.LookupPrice(unit, 0, group, depth, nullptr);
      } else if (pricedOption != 0) {
        Vcon::String key;
        BuildOptionKey(key, true);
        found = prices.LookupPrice(unit, 0, 0, 0, key.c_str());
      } else {
        found = prices.LookupPrice(unit, colour, 0, depth, nullptr);
      }
    } else {
      found = prices.LookupPrice(unit, colourless ? 0 : colorRecordId, 0, 0, nullptr);
    }
  }
  line.SetQuantity("pcs", DecimalNumber(int32_t{1}));
  line.SetMoney("price", ppMoney());
  line.SetMoney("price2", ppMoney());
  line.SetLong("type", kCalculationItem);
  line.SetLong("tag", tag);
  const ScratchRecord record(database->UnitFile(), unit);
  line.SetLong("weight", record.Long("weight"));
  line.SetLong("volume", record.Long("volume"));
  line.SetLong("depthID", (unitFlags & kDepthFree) != 0 ? 0 : linkedRecord);
  if (found != 0) {
    const PriceRecord price = ReadPrice(prices, found);
    line.SetLong("priceID", found);
    line.SetWide("tpriceText", WideFromNarrow(price.orderno.c_str()));
    line.SetWide("ttext", (iApplicationSettings::Current().flags2 & kLongItemText) != 0
                              ? LongItemText(record.Wide("tnumber"), price.ShortText())
                              : price.ShortText());
    line.SetMoney("price", price.price);
    line.SetLong("delivery", price.delivery);
    line.SetMoney("price2", price.price2);
  } else {
    int32_t naming = 0;
    if ((unitFlags & kPartsListUnit) != 0) {
      PriceSum sum{ppMoney::FromRaw(0), ppMoney::FromRaw(0), 0};
      if (settings.extended) line.SetLong("colorID", colour);
      SumPartsList(sum, unit, std::max(position, 0), &naming);
      line.SetMoney("price", sum.price);
      line.SetMoney("price2", sum.price2);
      if (sum.priceId != 0) line.SetLong("priceID", sum.priceId);
      NameByUnit(line, record);
    }
    line.SetWide("tbackCoverColor",
                 naming != 0 ? ScratchRecord(database->UnitFile(), naming).Wide("tnumber") : Vcon::WString());
    if ((flags & kChildrenIntoLine) != 0) PriceChildrenIntoLine(line);
  }
  PriceOptionsIntoLine(line);
}

Vcon::WString zelvproTopViewElement::LongItemText(const Vcon::WString& unitNumber,
                                                  const Vcon::WString& text) {
  Vcon::WString out = unitNumber;
  out += u"\r\n";
  out += text;
  out += u"\r\n";
  Vcon::WString label;
  GetTextById(kSizeLabel, label);
  if (!label.empty()) out += label, out += u" ";
  const ppBounds3 bounds = SizeBounds(*this);
  ppVector3 size(bounds.half.x * 2, bounds.half.y * 2, bounds.half.z * 2);
  if (size.x < 0 || size.y < 0 || size.z < 0) size = dimensions;
  out += Length(size.x, kLengthInchesSixteenths);
  out += u" x ";
  out += Length(size.y, kLengthInchesSixteenths);
  out += u" x ";
  out += Length(size.z, kLengthInchesSixteenths);
  return out;
}

void zelvproTopViewElement::PriceChildrenIntoLine(CalculationLine& line) {
  ppMoney price = line.Money("price"), price2 = line.Money("price2");
  ForEachChildElement(*this, [&](zelvproElement* element) {
    auto* child = dynamic_cast<zelvproTopViewElement*>(element);
    if (child == nullptr || (child->auxWordC & kPricedIntoParent) == 0 || !child->createdByParent) return;
    const int32_t unit = child->ResolveAccessId();
    if (unit == 0 || child->database != database) return;
    const ScratchRecord record(database->UnitFile(), unit);
    const int32_t unitFlags = record.Long("flags");
    int32_t position = child->extraA - 1;
    if (const int32_t code = record.Long("colorCode"); code != 0) {
      const int32_t index = ColourCodeIndex(*database, code);
      position = index >= 0 ? index : extraA - 1;
    }
    const int32_t colour = child->GetColorRecordId(position + 1);
    const int32_t group = (unitFlags & kColourless) != 0
                              ? 0
                              : CatalogReads::LongOf(database->ColorCatalogFile(), colour, "colorGroup");
    const int32_t depth = (unitFlags & kDepthFree) != 0 ? 0 : int32_t(std::lround(child->GetDepth()));
    const int32_t found = database->PriceFile().LookupPrice(unit, 0, group, depth, nullptr);
    if (found == 0) return;
    const PriceRecord record2 = ReadPrice(database->PriceFile(), found);
    price += record2.price;
    price2 += record2.price2;
  });
  line.SetMoney("price", price);
  line.SetMoney("price2", price2);
}

void zelvproTopViewElement::PriceOptionsIntoLine(CalculationLine& line) {
  line.SetWide("tOptions", Vcon::WString());
  PriceSum sum{line.Money("price"), line.Money("price2"), 0};
  for (const TopViewOption& option : options) {
    if ((option.optionFlags & kOptionNotPriced) != 0) continue;
    const int32_t classFlags = CatalogReads::LongOf(database->ClassFile(), option.classId, "flags");
    if ((classFlags & (kClassOwnLines | kClassLeftOut)) != 0) continue;
    const int32_t unit = UnitChain::End(database->UnitFile(), option.chosenUnit);
    const int32_t unitFlags = CatalogReads::LongOf(database->UnitFile(), unit, "flags");
    const int32_t position = OptionColourPosition(unit);
    if ((unitFlags & kPartsListUnit) != 0) {
      SumPartsList(sum, unit, position, nullptr);
    } else if (const int32_t found = LookupOptionPrice(unit, unitFlags, position); found != 0) {
      const PriceRecord price = ReadPrice(database->PriceFile(), found);
      sum.price += price.price;
      sum.price2 += price.price2;
      sum.priceId = found;
    }
  }
  line.SetMoney("price", sum.price);
  line.SetMoney("price2", sum.price2);
  if (sum.priceId != 0) line.SetLong("priceID", sum.priceId);
}

int32_t zelvproTopViewElement::LookupOptionPrice(int32_t unit, int32_t unitFlags, int32_t position) {
  const bool colourless = (unitFlags & kColourless) != 0;
  const int32_t colour = colourless ? 0 : GetColorRecordId(position + 1);
  const int32_t group =
      colour == 0 ? 0 : CatalogReads::LongOf(database->ColorCatalogFile(), colour, "colorGroup");
  const int32_t depth = PricingDepth(unitFlags);
  zelvproPriceFil& prices = database->PriceFile();
  return group != 0 ? prices.LookupPrice(unit, 0, group, depth, nullptr)
                    : prices.LookupPrice(unit, colour, 0, depth, nullptr);
}

void zelvproTopViewElement::FillIncludedLine(int32_t first, int32_t second, CalculationLine& line) {
  zelvproUnitFil& units = database->UnitFile();
  const int32_t unit = UnitChain::End(units, first);
  const ScratchRecord record(units, unit);
  const int32_t unitFlags = record.Long("flags");
  line.SetLong("topViewID", 0);
  line.SetLong("unitID", unit);
  line.SetText("group", GroupSortOf(*database, record.Long("group")));
  int32_t colour = second != 0 ? second : colorRecordId;
  if (const int32_t code = record.Long("colorCode"); code != 0)
    colour = GetColorRecordIdClamped(CatalogReads::LongOf(database->ColorCodeFile(), code, "id"));
  if ((unitFlags & kColourless) != 0) colour = 0;
  line.SetLong("colorID", colour);
  line.SetWide("tfrontColor", ScratchRecord(database->ColorCatalogFile(), colour).Wide("tname"));
  zelvproPriceFil& prices = database->PriceFile();
  const int32_t found = prices.LookupPrice(unit, colour, 0, 0, nullptr);
  line.SetLong("priceID", found);
  line.SetQuantity("pcs", DecimalNumber(int32_t{1}));
  line.SetMoney("price", ppMoney());
  line.SetMoney("price2", ppMoney());
  line.SetLong("type", kCalculationItem);
  line.SetLong("tag", tag);
  line.refs.db = database;
  line.refs.element = nullptr;
  if (found == 0 && (unitFlags & kPartsListUnit) != 0) {
    PriceSum sum{ppMoney::FromRaw(0), ppMoney::FromRaw(0), 0};
    SumPartsList(sum, unit, std::max(extraA - 1, 0), nullptr);
    line.SetMoney("price", sum.price);
    line.SetMoney("price2", sum.price2);
    if (sum.priceId != 0) line.SetLong("priceID", sum.priceId);
    NameByUnit(line, record);
  } else if (found != 0) {
    const PriceRecord price = ReadPrice(prices, found);
    line.SetWide("tpriceText", WideFromNarrow(price.orderno.c_str()));
    line.SetWide("ttext", price.ShortText());
    line.SetMoney("price", price.price);
    line.SetMoney("price2", price.price2);
    line.SetLong("delivery", price.delivery);
  }
  line.SetWide("tdbText", SettingsOf(*database).name);
  line.refs.element = this;
}

// ---- Adding and removing lines.

void zelvproTopViewElement::AddToCalculation() {
  if (calculate == 0) return;
  iCalculationList& list = iCalculationList::Current();
  ppDatafile* file = list.LineFile();
  if (file != nullptr && database != nullptr) {
    list.RemoveElementLines(this);
    CalculationLine line(*file, list);
    line.Clear();
    if (const int32_t unit = ResolveAccessId(); unit != 0) {
      AddOwnLine(line);
      AddIncludedLines(line, unit, 1);
      for (const TopViewOption& option : options) {
        if ((option.optionFlags & kOptionNotPriced) == 0) AddOptionLines(line, option);
      }
      list.ShowLastLine();
    }
  }
  zelvproElement::AddToCalculation();
}

void zelvproTopViewElement::AddOwnLine(CalculationLine& line) {
  line.SetLong("type", kCalculationItem);
  line.SetLong("id", NextLineId());
  FillCalculationLine(line);
  if (SettingsOf(*database).extended) {
    line.SetMoney("price", line.Money("price") + SumGroupedPrice());
    line.SetMoney("price2", line.Money("price2") + SumGroupedPrice2());
  }
  line.Finish();
  if (interiorLocked) return;  // priced into the parent's own line
  ApplyFactor(line);
  const int32_t number = ElementNumber();
  line.SetLong("number", number > 0 ? number : 0);
  line.SetQuantity("pcs", StretchQuantity());
  line.Add();
  line.SetLong("number", 0);
}

void zelvproTopViewElement::AddIncludedLines(CalculationLine& line, int32_t unitId, int32_t times) {
  const std::vector<uint8_t> blob = ScratchRecord(database->UnitFile(), unitId).Blob("pricingIncludes");
  for (size_t at = 0; at + kIncludeEntry <= blob.size(); at += kIncludeEntry) {
    for (int32_t n = 0; n < times; ++n) {
      line.Clear();
      line.SetLong("id", NextLineId());
      line.SetLong("topViewID", recordId);
      line.refs = {this, database};
      FillIncludedLine(CatalogReads::WordAt(blob, at / 4), CatalogReads::WordAt(blob, at / 4 + 1), line);
      line.Finish();
      ApplyFactor(line);
      line.Add();
    }
  }
}

void zelvproTopViewElement::AddOptionLines(CalculationLine& line, const TopViewOption& option) {
  zelvproUnitFil& units = database->UnitFile();
  const int32_t classFlags = CatalogReads::LongOf(database->ClassFile(), option.classId, "flags");
  const int32_t unit = UnitChain::End(units, option.chosenUnit);
  const ScratchRecord record(units, unit);
  const int32_t unitFlags = record.Long("flags");
  if ((option.optionFlags & kOptionSetsUnit) != 0) line.SetLong("unitID", unit);
  const int32_t count = CountOptionParts(option.classId);
  if (count <= 0) return;
  const int32_t position = OptionColourPosition(unit);
  int32_t found = 0;
  if ((classFlags & kClassOwnLines) != 0 && (unitFlags & kPartsListUnit) == 0)
    found = LookupOptionPrice(unit, unitFlags, position);
  if (found != 0) {
    const bool colourless = (unitFlags & kColourless) != 0;
    const int32_t colour = colourless ? 0 : GetColorRecordId(position + 1);
    const PriceRecord price = ReadPrice(database->PriceFile(), found);
    line.refs = {this, database};
    line.SetLong("id", NextLineId());
    line.SetLong("unitID", unit);
    line.SetText("group", GroupSortOf(*database, record.Long("group")));
    line.SetLong("topViewID", 0);
    line.SetLong("colorID", colour);
    line.SetMoney("price", price.price);
    line.SetMoney("price2", price.price2);
    line.SetWide("tpriceText", WideFromNarrow(price.orderno.c_str()));
    line.SetWide("ttext", price.ShortText());
    line.SetLong("delivery", price.delivery);
    line.SetLong("priceID", found);
    line.SetQuantity("pcs", DecimalNumber(int32_t{1}));
    line.SetWide("tfrontColor", ScratchRecord(database->ColorCatalogFile(), colour).Wide("tname"));
    line.Finish();
    ApplyFactor(line);
    for (int32_t n = 0; n < count; ++n) line.Add();
  }
  AddIncludedLines(line, unit, count);
}

void zelvproTopViewElement::RemoveFromCalculation() {
  iCalculationList::Current().RemoveElementLines(this);
  zelvproElement::RemoveFromCalculation();
}

// ---- Price sums.

ppMoney zelvproTopViewElement::GetTotalPrice() { return TotalPrice(false); }

ppMoney zelvproTopViewElement::GetTotalPrice2() { return TotalPrice(true); }

ppMoney zelvproTopViewElement::TotalPrice(bool second) {
  ppMoney own = ppMoney::FromRaw(0);
  iCalculationList& list = iCalculationList::Current();
  ppDatafile* file = list.LineFile();
  if (calculate != 0 && database != nullptr && file != nullptr && ResolveAccessId() != 0) {
    CalculationLine line(*file, list);
    line.Clear();
    FillCalculationLine(line);
    if (SettingsOf(*database).extended)
      line.SetMoney(second ? "price2" : "price", line.Money(second ? "price2" : "price") +
                                                     (second ? SumGroupedPrice2() : SumGroupedPrice()));
    line.Finish();
    own = line.Money(second ? "price2" : "price");
  }
  return own + (second ? zelvproElement::GetTotalPrice2() : zelvproElement::GetTotalPrice());
}

ppMoney zelvproTopViewElement::SumGroupedPrice() { return SumGrouped(false); }

ppMoney zelvproTopViewElement::SumGroupedPrice2() { return SumGrouped(true); }

ppMoney zelvproTopViewElement::SumGrouped(bool second) {
  ppMoney sum = ppMoney::FromRaw(0);
  if (interiorLocked && calculate != 0 && database != nullptr) {
    zelvproUnitFil& units = database->UnitFile();
    const int32_t unitFlags = CatalogReads::LongOf(units, unitRecordId, "flags");
    const int32_t colour = GetColorRecordIdClamped(extraA);
    const int32_t group = (unitFlags & kColourless) != 0
                              ? 0
                              : CatalogReads::LongOf(database->ColorCatalogFile(), colour, "colorGroup");
    const int32_t found =
        database->PriceFile().LookupPrice(unitRecordId, 0, group, PricingDepth(unitFlags), nullptr);
    if (found == 0) {
      sum = ppMoney();
    } else {
      const PriceRecord price = ReadPrice(database->PriceFile(), found);
      sum += second ? price.price2 : price.price;
    }
    if ((unitFlags & kPartsListUnit) != 0) {
      PriceSum parts{ppMoney::FromRaw(0), ppMoney::FromRaw(0), 0};
      SumPartsList(parts, unitRecordId, std::max(extraA - 1, 0), nullptr);
      sum += second ? parts.price2 : parts.price;
    }
  }
  ForEachChildElement(*this, [&](zelvproElement* element) {
    if (auto* child = dynamic_cast<zelvproTopViewElement*>(element)) sum += child->SumGrouped(second);
  });
  return sum;
}

// ---- The options text.

void zelvproTopViewElement::BuildOptionsText(Vcon::WString& out) {
  out.clear();
  if (database == nullptr) return;
  std::vector<Vcon::WString> lines;
  if (!interiorLocked) {
    const uint32_t mask = CollectBitMask(true);
    for (int32_t i = 0; i < 32; ++i) {
      if ((mask & (uint32_t{1} << i)) == 0) continue;
      const ScratchRecord code(database->ColorCodeFile(), CatalogReads::ColourCodeAt(*database, i));
      if ((CatalogReads::LongOf(database->ClassFile(), code.Long("class"), "flags") & kClassLeftOut) != 0)
        continue;
      const ScratchRecord colour(database->ColorCatalogFile(), GetColorRecordIdClamped(i + 1));
      Vcon::WString text = code.Wide("tname");
      text += u": ", text += colour.Wide("tnumber"), text += u" ", text += colour.Wide("tname");
      lines.push_back(text);
    }
  }
  const int32_t unitFlags = CatalogReads::LongOf(database->UnitFile(), unitRecordId, "flags");
  if (SettingsOf(*database).depthInPricing && linkedRecord != 0 && (unitFlags & kDepthFree) == 0) {
    Vcon::WString label = u"Depth";
    GetTextById(kDepthName, label);
    Vcon::WString own;
    if (database->GetString(kDepthName, own, int32_t(CurrentLanguageCode()))) label = own;
    label += u": ";
    label += ScratchRecord(database->DepthFile(), linkedRecord).Wide("tname");
    lines.push_back(label);
  }
  for (const TopViewOption& option : options) {
    const ScratchRecord cls(database->ClassFile(), option.classId);
    if ((cls.Long("flags") & (kClassOwnLines | kClassLeftOut)) != 0) continue;
    const ScratchRecord unit(database->UnitFile(), UnitChain::End(database->UnitFile(), option.chosenUnit));
    Vcon::WString text = cls.Wide("tname");
    text += u": ", text += unit.Wide("tnumber"), text += u" ", text += unit.Wide("tname");
    lines.push_back(text);
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += u"\r\n";
    out += lines[i];
  }
}
