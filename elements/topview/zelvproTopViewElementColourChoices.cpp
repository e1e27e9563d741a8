// The colours a top-view element allows at one colour position: what the catalogue settings, the
// colour code, the depth, the unit's top view, the chosen options and (under the price-driven
// switch) the option keys of price records leave, kept in the colour-choice cache.
#include <algorithm>
#include <optional>
#include <string>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproClassFil.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproColorCodeFil.h"
#include "catalogue/records/zelvproDepthFil.h"
#include "catalogue/records/zelvproPreferences.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/dbDatafile.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/topview/CatalogReads.h"
#include "elements/topview/ColorChoiceCache.h"
#include "elements/topview/FileSelection.h"
#include "elements/topview/OptionKeyPairs.h"
#include "elements/topview/PriceRecordFields.h"
#include "elements/topview/ScratchRecord.h"
#include "elements/topview/zelvproTopViewElement.h"

namespace {

using Colours = std::vector<int32_t>;

// Depth flags: the depth restricts colours. Unit flags: a depth-specific unit replaces the unit.
constexpr int32_t kDepthColours = 0x1, kDepthUnits = 0x2;
// Second flag word: the depth does not restrict; every position takes the top view's colours.
constexpr int32_t kIgnoreDepth = 0x8, kTopViewColoursEverywhere = 0x4;
// Top-view flags: "Colors" names colour groups. Class flags: priced colours; priced option unit.
constexpr int32_t kColoursAreGroups = 0x100000, kPricedClass = 0x100, kPricedOptionUnit = 0x4;
// Steps along "refTo" before a chain is taken as circular.
constexpr int kMaxReferences = 16;

uint32_t PositionBit(int32_t position) { return uint32_t{1} << (uint32_t(position - 1) & 31); }

bool Contains(const Colours& list, int32_t id) {
  return std::find(list.begin(), list.end(), id) != list.end();
}

void KeepOnly(Colours& set, const Colours& allowed) {
  std::erase_if(set, [&](int32_t id) { return !Contains(allowed, id); });
}

void AddMissing(Colours& list, const Colours& more) {
  for (int32_t id : more) {
    if (!Contains(list, id)) list.push_back(id);
  }
}

Colours NonZero(const Colours& words) {
  Colours out;
  std::copy_if(words.begin(), words.end(), std::back_inserter(out), [](int32_t w) { return w != 0; });
  return out;
}

// The entries of a counted list blob (count, capacity, entries), no more than the blob holds.
Colours CountedList(const Colours& words) {
  if (words.size() < 2 || words[0] <= 0) return {};
  const size_t count = std::min(size_t(words[0]), words.size() - 2);
  return Colours(words.begin() + 2, words.begin() + 2 + ptrdiff_t(count));
}

// The 0-based position of colour code record `code` in the colour-code table; -1 when absent.
int32_t PositionOfCode(zelvDatabase& db, int32_t code) {
  const int32_t n = CatalogReads::ColourCodeCount(db);
  for (int32_t i = 0; code != 0 && i < n; ++i) {
    if (CatalogReads::ColourCodeAt(db, i) == code) return i;
  }
  return -1;
}

int32_t FollowReferences(zelvDatabase& db, int32_t unit) {
  for (int step = 0; step < kMaxReferences; ++step) {
    const int32_t next = CatalogReads::LongOf(db.UnitFile(), unit, "refTo");
    if (next == 0 || next == unit) break;
    unit = next;
  }
  return unit;
}

// The colours top view `topView` allows: with the group flag, the colours of its "Colors" groups
// (through the second colour table's "colorGroup" index); otherwise its non-zero "Colors". No value
// when the list is empty, the group flag is off and `emptyAllowsAll`.
std::optional<Colours> TopViewColours(zelvDatabase& db, int32_t topView, bool emptyAllowsAll) {
  const ScratchRecord record(db.TopViewFile2(), topView);
  const Colours listed = record.Words("Colors");
  if ((record.Long("flags") & kColoursAreGroups) == 0) {
    if (listed.empty() && emptyAllowsAll) return std::nullopt;
    return NonZero(listed);
  }
  zelvproColorCatalogFil& colours = db.ColorCatalogFile2();
  const RecordField group(colours, "colorGroup");
  FileSelection::Set(colours, {});
  for (int32_t g : NonZero(listed)) {
    if (group.Exists()) colours.Select(group.Index(), '+', dbDatafile::kEqual, &g, nullptr);
  }
  return FileSelection::Get(colours);
}

// The colours named by the option keys of the priced records of `prices` for the class of each
// record's unit's colour code, the first colour of `set` with that "id" for each pair. A unit without
// a colour code takes colour code record `code`, the one the colours are worked out for: its prices
// were gathered for that code, and without a class no pair could name a colour.
Colours ColoursFromPriceKeys(zelvDatabase& db, ppDatafile& file, const Colours& set, const Colours& prices,
                             int32_t code) {
  Colours ids(set.size());
  for (size_t i = 0; i < set.size(); ++i) ids[i] = CatalogReads::LongOf(file, set[i], "id");
  Colours gathered;
  for (int32_t id : prices) {
    const PriceRecordFields record(db.PriceFile(), id);
    if (!record.HasPrice()) continue;
    const int32_t unitCode = CatalogReads::LongOf(db.UnitFile(), record.module, "colorCode");
    const int32_t cls = CatalogReads::LongOf(db.ColorCodeFile(), unitCode != 0 ? unitCode : code, "class");
    if (cls == 0) continue;
    const int32_t key = CatalogReads::LongOf(db.ClassFile(), cls, "id");
    for (const auto& [a, b] : OptionKeyPairs::Read(record.optionKey)) {
      if (a != key) continue;
      auto found = std::find(ids.begin(), ids.end(), b);
      if (found != ids.end()) gathered.push_back(set[size_t(found - ids.begin())]);
    }
  }
  return gathered;
}

}  // namespace

void zelvproTopViewElement::FillColorChoices(ppDatafile& file, int32_t position, bool withChildren) {
  if (unitRecordId == 0 || database == nullptr) return;
  ColorChoiceCache::Key key;
  key.settingsId = database->Identifier();
  key.topView = recordId;
  key.position = position;
  key.depth = linkedRecord;
  key.withChildren = withChildren;
  key.text = ColourChoiceKeyText(withChildren);
  if (auto cached = ColorChoiceCache::Lookup(key)) {
    FileSelection::Set(file, *cached);
    return;
  }
  Colours set;
  if ((CollectBitMask(false) & PositionBit(position)) != 0) set = AllowedColours(file, position);
  if (withChildren) {
    const ppViewList& children = Subviews();
    for (int32_t i = 0; i < children.Count(); ++i) {
      auto* part = dynamic_cast<zelvproTopViewElement*>(children.At(i));
      if (part == nullptr) continue;
      // A child without a unit leaves the selection as it finds it: it must find it empty.
      FileSelection::Set(file, {});
      part->FillColorChoices(file, position, true);
      AddMissing(set, FileSelection::Get(file));
    }
  }
  FileSelection::Set(file, set);
  ColorChoiceCache::Store(key, set);
}

std::vector<int32_t> zelvproTopViewElement::AllowedColours(ppDatafile& file, int32_t position) {
  zelvDatabase& db = *database;
  zelvproPreferences& settings = db.SettingsFile();
  Colours set =
      NonZero(settings.GetRecordCount() > 0 ? ScratchRecord(settings, settings.RecordIdAt(0)).Words("colors")
                                            : Colours());
  if (set.empty()) {
    file.SelectAll();
    set = FileSelection::Get(file);
  }
  const int32_t code = CatalogReads::ColourCodeAt(db, position - 1);
  const Colours codeColours = ScratchRecord(db.ColorCodeFile(), code).Words("colors");
  if (!codeColours.empty()) KeepOnly(set, NonZero(codeColours));
  if (linkedRecord != 0 && (auxWordC & kIgnoreDepth) == 0) {
    const ScratchRecord depth(db.DepthFile(), linkedRecord);
    const Colours depthColours = CountedList(depth.Words("colors"));
    if ((depth.Long("flags") & kDepthColours) != 0 &&
        (uint32_t(depth.Long("colorFlags")) & PositionBit(position)) != 0 && !depthColours.empty())
      KeepOnly(set, depthColours);
  }
  // From here on the set only shrinks, so narrowing it by an option's colours also keeps it inside
  // what the settings, colour code and depth allow.
  int32_t unit = unitRecordId;
  const ScratchRecord current(db.UnitFile(), unit);
  if ((current.Long("flags") & kDepthUnits) != 0) {
    const Colours pairs = current.Words("depthUnits");
    for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
      if (pairs[i] == linkedRecord && pairs[i + 1] != 0) {
        unit = pairs[i + 1];
        break;
      }
    }
  }
  int32_t topView = CatalogReads::LongOf(db.UnitFile(), unit, "topView");
  if (topView == 0) topView = recordId;
  if (position == extraA || (auxWordC & kTopViewColoursEverywhere) != 0) {
    if (const std::optional<Colours> own = TopViewColours(db, topView, true)) KeepOnly(set, *own);
  }
  for (const TopViewOption& option : options) {
    if (option.chosenUnit == 0) continue;
    const ScratchRecord chosen(db.UnitFile(), option.chosenUnit);
    const int32_t optionTopView = chosen.Long("topView");
    if (optionTopView == 0 || PositionOfCode(db, chosen.Long("colorCode")) + 1 != position) continue;
    KeepOnly(set, *TopViewColours(db, optionTopView, false));
  }
  FilterByPriceKeys(file, position, code, set);
  return set;
}

void zelvproTopViewElement::FilterByPriceKeys(ppDatafile& file, int32_t position, int32_t code,
                                              std::vector<int32_t>& set) {
  zelvDatabase& db = *database;
  if ((iApplicationSettings::Current().flags1 & iApplicationSettings::kPriceDrivenOptions) == 0 || code == 0)
    return;
  const int32_t cls = CatalogReads::LongOf(db.ColorCodeFile(), code, "class");
  if ((CatalogReads::LongOf(db.ClassFile(), cls, "flags") & kPricedClass) == 0) return;
  zelvproPriceFil& prices = db.PriceFile();
  Colours found;
  auto collect = [&](int32_t unit) {
    prices.LookupPrice(FollowReferences(db, unit), 0, 0, 0, nullptr);
    AddMissing(found, FileSelection::Get(prices));
  };
  const int32_t unit = FollowReferences(db, unitRecordId);
  const int32_t unitCode = CatalogReads::LongOf(db.UnitFile(), unit, "colorCode");
  if (unitCode == 0 || unitCode == code) collect(unit);
  for (const TopViewOption& option : options) {
    if (option.chosenUnit == 0 || (option.classFlags & kPricedOptionUnit) == 0) continue;
    const int32_t optionCode = CatalogReads::LongOf(db.UnitFile(), option.chosenUnit, "colorCode");
    if (PositionOfCode(db, optionCode) + 1 == position) collect(option.chosenUnit);
  }
  FileSelection::Set(prices, found);
  if (!found.empty()) KeepOnly(set, ColoursFromPriceKeys(db, file, set, found, code));
}

std::string zelvproTopViewElement::ColourChoiceKeyText(bool withChildren) {
  Vcon::String optionKey;
  BuildOptionKey(optionKey, false);
  std::string text = optionKey + "|" + std::to_string(unitRecordId);
  for (const TopViewOption& option : options) text += " " + std::to_string(option.chosenUnit);
  if (!withChildren) return text;
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    auto* part = dynamic_cast<zelvproTopViewElement*>(children.At(i));
    if (part == nullptr || part->database == nullptr) continue;
    text += "{" + std::to_string(part->database->Identifier()) + ":" + std::to_string(part->recordId) + ":" +
            std::to_string(part->linkedRecord) + ":" + part->ColourChoiceKeyText(true) + "}";
  }
  return text;
}
