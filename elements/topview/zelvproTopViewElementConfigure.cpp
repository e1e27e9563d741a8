// Colour and option configuration of a top-view element through its properties: the colour of a
// colour group and of the groups that follow it, the unit chosen for an option, and the mapping of
// colour-property numbers to colour groups.
#include <algorithm>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproClassFil.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproColorCodeFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/ppDatafile.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/topview/CatalogReads.h"
#include "elements/topview/FileSelection.h"
#include "elements/topview/zelvproTopViewElement.h"

namespace {

// Colour masks cover groups 1 to 31 (bits 0 to 30); bit 31 is not a group of its own.
constexpr int32_t kMaskGroups = 31;

// Whether the colour code at group `group` (from 1) follows the colour code whose "id" is `followed`.
// A code that follows none is taken as following "id" 0.
bool GroupFollows(zelvDatabase& db, int32_t followed, int32_t group) {
  zelvproColorCodeFil& codes = db.ColorCodeFile();
  const auto& follow = codes.FollowMap();
  auto found = follow.find(group);
  const int32_t id = found != follow.end() ? CatalogReads::LongOf(codes, found->second, "id") : 0;
  return id == followed;
}

}  // namespace

void zelvproTopViewElement::SetGroupColor(int32_t group, int32_t value) {
  const int32_t colour = RecordOfValue(ppParameter(value));
  if (colour < 0) return;
  ApplyColorRecord(colour, database, int32_t(uint32_t{1} << (uint32_t(group - 1) & 31)));
  const int32_t n = std::min(GetColorGroupCount(), 32);
  for (int32_t g = 1; g <= n; ++g) {
    if (GroupFollows(*database, group, g))
      ApplyColorRecord(colour, database, int32_t(uint32_t{1} << (g - 1)));
  }
  MarkTreeNeedsRedraw();
  InvalidateTree();
}

void zelvproTopViewElement::SetOption(int32_t classId, int32_t value) {
  if (int32_t unit = RecordOfValue(ppParameter(value)); unit >= 0) {
    zelvproUnitFil units(*database);
    const int32_t optionValue = CatalogReads::LongOf(units, unit, "optionValue");
    bool ok = true;
    // A unit with an option value stands for the first allowed unit with the same value.
    for (size_t i = 0; optionValue != 0 && i < options.size(); ++i) {
      if (options[i].classId != classId) continue;
      FillOptionChoices(units, classId);
      const std::vector<int32_t> allowed = FileSelection::Get(units);
      auto same = std::find_if(allowed.begin(), allowed.end(), [&](int32_t u) {
        return CatalogReads::LongOf(units, u, "optionValue") == optionValue;
      });
      ok = same != allowed.end();
      if (ok) unit = *same;
    }
    if (ok) ApplyOptionChoice(classId, unit, optionValue, value);
  }
  colourMask = 0;
}

void zelvproTopViewElement::ApplyOptionChoice(int32_t classId, int32_t unit, int32_t optionValue,
                                              int32_t value) {
  ChooseOptionUnitAndPlaceParts(classId, unit);
  database->ClassFile().CacheSet(classId, optionValue);
  // Every option is checked against what the new choice leaves it.
  zelvproUnitFil& units = database->UnitFile();
  for (TopViewOption& option : options) {
    option.changed = true;
    FillOptionChoices(units, option.classId);
    const std::vector<int32_t> allowed = FileSelection::Get(units);
    if (std::find(allowed.begin(), allowed.end(), option.chosenUnit) != allowed.end()) continue;
    option.chosenUnit = allowed.empty() ? 0 : allowed.front();
    if (!allowed.empty()) database->ClassFile().CacheSet(option.classId, optionValue);
  }
  configurationChanged = 1;
  RunConfigurationPass();
  if (zelvproCanvas* canvas = GetCanvas()) canvas->Resnap();
  InvalidateTree();
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    if (auto* part = dynamic_cast<zelvproTopViewElement*>(children.At(i))) part->SetOption(classId, value);
  }
  // Every colour group is checked against what the new options allow.
  zelvproColorCatalogFil& colourFile = database->ColorCatalogFile();
  for (int32_t g = 1; g <= GetColorGroupCount(); ++g) {
    FillColorChoices(colourFile, g, true);
    const std::vector<int32_t> allowed = FileSelection::Get(colourFile);
    int32_t& entry = colours[size_t(g - 1)];
    if (!allowed.empty() && std::find(allowed.begin(), allowed.end(), entry) == allowed.end())
      entry = allowed.front();
  }
  InvalidateElement(iElementHost::Current().ScenePane(), true);
}

int32_t zelvproTopViewElement::CountMaskGroups(int32_t mask) {
  if (mask == -1) mask = int32_t(CollectBitMask(true));
  if (mask == -1) return 0;
  int32_t n = 0;
  for (int32_t bit = 0; bit < kMaskGroups; ++bit) n += (uint32_t(mask) >> bit) & 1;
  return n;
}

int32_t zelvproTopViewElement::GroupOfMaskIndex(int32_t j, int32_t mask) {
  if (mask == -1) mask = int32_t(CollectBitMask(true));
  if (mask == -1) return -1;
  for (int32_t bit = 0; bit < kMaskGroups; ++bit) {
    if (((uint32_t(mask) >> bit) & 1) != 0 && --j < 0) return bit + 1;
  }
  return -1;
}

int32_t zelvproTopViewElement::GetGroupColorValue(int32_t group) {
  return DbIdValue(GetColorRecordIdClamped(group)).ToLong();
}

int32_t zelvproTopViewElement::GetOptionUnitValue(int32_t classId) const {
  return DbIdValue(ChosenUnitOfOption(classId)).ToLong();
}
