// What the price list asks of a top-view element: the text of its colours, depth and options, whether
// another element needs a line of its own, and whether the interior parts still match the unit.
#include <algorithm>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproClassFil.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproColorCodeFil.h"
#include "catalogue/records/zelvproDepthFil.h"
#include "catalogue/records/zelvproOptionValueFil.h"
#include "catalogue/records/zelvproPreferences.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/topview/CatalogReads.h"
#include "elements/topview/ScratchRecord.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/ResourceAccess.h"
#include "foundation/TextsById.h"
#include "foundation/UserPreferences.h"

namespace {

// The depth label: program text 8034, or the catalogue's own text 8034 when it has one.
constexpr int32_t kDepthLabelText = 8034;
constexpr uint16_t kDepthLabelArray = 2024;
constexpr int32_t kDepthLabelItem = 4;
constexpr size_t kSubUnitEntry = 28;

int32_t SettingsLong(zelvDatabase& db, const char* name) {
  zelvproPreferences& settings = db.SettingsFile();
  if (settings.GetRecordCount() == 0) return 0;
  return ScratchRecord(settings, settings.RecordIdAt(0)).Long(name);
}

struct SubUnit {
  int32_t topView, x, y;
};

template <typename Fn>
void ForEachPart(ppView& view, Fn fn) {
  const ppViewList& children = view.Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    if (auto* part = dynamic_cast<zelvproTopViewElement*>(children.At(i))) fn(*part);
  }
}

}  // namespace

void zelvproTopViewElement::GetColorValue(Vcon::WString& out) {
  if (database == nullptr || colours.empty() ||
      (SettingsLong(*database, "useExtendedColorSystem") & 0x1) == 0) {
    zelvproElement::GetColorValue(out);
    return;
  }
  Vcon::WString text;
  const int32_t unitFlags =
      unitRecordId != 0 ? CatalogReads::LongOf(database->UnitFile(), unitRecordId, "flags") : -1;
  if ((unitFlags & 0x4) == 0) {
    std::vector<int32_t> merged(colours.size(), 0);
    MergeColorChoices(merged);
    int32_t last = -1;
    for (size_t i = 0; i < merged.size(); ++i) {
      if (merged[i] != 0) last = int32_t(i);
    }
    for (int32_t i = 0; i <= last; ++i) {
      const int32_t colour = merged[size_t(i)];
      if (colour == 0) continue;
      text +=
          ScratchRecord(database->ColorCodeFile(), CatalogReads::ColourCodeAt(*database, i)).Wide("tname");
      text += u": ";
      if (colour > 0) {
        text += ScratchRecord(database->ColorCatalogFile(), colour).Wide("tname");
        if (i < last) text += u" / ";
      } else {
        text += i < last ? u"+ / " : u"+";
      }
    }
  }
  if ((unitFlags & 0x8) == 0 && SettingsLong(*database, "useDepthInPricing") != 0 && linkedRecord != 0) {
    Vcon::WString label;
    GetStringArrayText(label, kDepthLabelArray, kDepthLabelItem);
    GetTextById(kDepthLabelText, label);
    Vcon::WString own;
    if (database->GetString(kDepthLabelText, own, int32_t(CurrentLanguageCode()))) label = own;
    if (!text.empty()) text += u" / ";
    text += label;
    text += ScratchRecord(database->DepthFile(), linkedRecord).Wide("tname");
  }
  for (const TopViewOption& option : options) {
    const ScratchRecord unit(database->UnitFile(), option.chosenUnit);
    const bool afterFirst = !option.units.empty() && std::find(option.units.begin() + 1, option.units.end(),
                                                               option.chosenUnit) != option.units.end();
    if ((option.optionFlags & 0x1) != 0 && !afterFirst) continue;
    const ScratchRecord cls(database->ClassFile(), option.classId);
    if ((cls.Long("flags") & 0x2) != 0) continue;
    const int32_t value = unit.Long("optionValue");
    if (value == 0) {
      text += unit.Wide("tnumber"), text += u" ", text += unit.Wide("tname");
    } else {
      text += cls.Wide("tname"), text += u": ";
      text += ScratchRecord(database->OptionValueFile(), value).Wide("tname");
    }
    text += u"\r\n";
  }
  out = text;
}

bool zelvproTopViewElement::DiffersFromRecord(zelvproElement* other) {
  // An element that keeps its own calculation line never shares one.
  if (SeparateLine()) return true;
  auto* that = dynamic_cast<zelvproTopViewElement*>(other);
  if (that == nullptr) return zelvproElement::DiffersFromRecord(other);
  // The other's access id as it was last resolved: pushes, pops and geometry updates keep it current.
  if (that->unitRecordId != unitRecordId) return true;
  if (deviates != 0 || that->deviates != 0) return true;
  const bool extended = database != nullptr && (SettingsLong(*database, "useExtendedColorSystem") & 0x1) != 0;
  if (!extended || colours.empty()) {
    if (colorRecordId != that->colorRecordId) return true;
  } else {
    const uint32_t mask = CollectBitMask(true);
    for (size_t i = 0; i < colours.size() && i < 32; ++i) {
      if ((mask & (uint32_t{1} << i)) != 0 && colours[i] != that->GetColorRecordId(int32_t(i + 1)))
        return true;
    }
  }
  if (database != nullptr && SettingsLong(*database, "useDepthInPricing") != 0 &&
      (linkedRecord != 0 || that->linkedRecord != 0) && linkedRecord != that->linkedRecord)
    return true;
  return auxWordA != that->auxWordA || auxAmountB != that->auxAmountB;
}

void zelvproTopViewElement::CheckSubUnits(bool withPositions) {
  if (unitRecordId == 0 || database == nullptr) return;
  deviates = 0;
  deviationBits = 0;
  const std::vector<uint8_t> blob = ScratchRecord(database->UnitFile(), unitRecordId).Blob("subUnits");
  std::vector<SubUnit> entries;
  for (size_t at = 0; at + kSubUnitEntry <= blob.size(); at += kSubUnitEntry) {
    const size_t w = at / 4;
    entries.push_back({CatalogReads::WordAt(blob, w), CatalogReads::WordAt(blob, w + 1),
                       CatalogReads::WordAt(blob, w + 2)});
  }
  if (entries.empty()) return;
  int32_t children = 0;
  ForEachPart(*this, [&](zelvproTopViewElement& part) { part.matched = 0, ++children; });
  auto matches = [&](zelvproTopViewElement& part, SubUnit& entry) {
    if (part.recordId == 0 || part.recordId != entry.topView) return false;
    if (withPositions && (part.cellX != entry.x || part.cellY != entry.y)) return false;
    part.interiorLocked = true;
    entry.topView = 0;
    return true;
  };
  // A pass over the entries: the first child `take` admits that matches an entry is marked.
  auto pass = [&](auto take, auto onMatch) {
    for (SubUnit& entry : entries) {
      bool done = false;
      ForEachPart(*this, [&](zelvproTopViewElement& part) {
        if (done || part.matched != 0 || !take(part) || !matches(part, entry)) return;
        part.matched = 1, done = true;
        onMatch();
      });
    }
  };
  int32_t matchedCount = 0;
  pass([](zelvproTopViewElement& p) { return p.interiorLocked; }, [&] { ++matchedCount; });
  std::vector<int32_t> merged = colours;
  bool stopped = false;
  ForEachPart(*this, [&](zelvproTopViewElement& part) {
    if (stopped) return;
    part.MergeColorChoices(merged);
    if (part.interiorLocked && part.matched == 0) deviationBits |= kUnmatched, stopped = true;
  });
  const int32_t expected = int32_t(entries.size());
  if (children < expected)
    deviationBits |= kFewerParts;
  else if (children > expected)
    deviationBits |= kMoreParts;
  else if (matchedCount < children)
    deviationBits |= kUnmatched;
  if (std::find(merged.begin(), merged.end(), -1) != merged.end()) deviationBits |= kPartColours;
  if (deviationBits != 0) deviates = 1;
  if (withPositions) return;
  pass([](zelvproTopViewElement& p) { return p.interiorLocked; }, [&] { deviates = 1; });
  pass([](zelvproTopViewElement& p) { return !p.interiorLocked; }, [&] { deviates = 1; });
}
