// Building the whole price list from the lines the plan added: the generated lines, packets, unit
// notes, tag groups, discounts, subtotals, VAT, the Total, the note lines, sort keys, order and
// blank lines; and the whole-plan rebuild the top canvas runs.
//
// Every reordering, batch deletion and batch insertion rearranges the list of packed records in one
// pass (Rearrange), so a build reads each line a fixed number of times whatever the list's length.
#include <algorithm>
#include <cstring>
#include <numeric>
#include <string>

#include "calculation/CalculatorPacketTree.h"
#include "calculation/zelvproCalculatorFil.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproNoteFil.h"
#include "catalogue/records/zelvproPacketFil.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "catalogue/records/zelvproTagFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/base/zelvproElement.h"
#include "foundation/ResourceAccess.h"
#include "foundation/TextsById.h"
#include "platform/ResourceRegistry.h"

namespace {

using Calc = zelvproCalculatorFil;

bool IsElementLine(int32_t type) {
  return type == Calc::kCalculationItem || type == Calc::kElementLine2 || type == Calc::kElementLine3;
}

// The four running sums of the build: money and the weight and volume longs.
struct Sums {
  ppMoney total = ppMoney::FromRaw(0), total2 = ppMoney::FromRaw(0);
  int64_t weight = 0, volume = 0;
};

// A percentage (of "discountPct") applied as the lists always did: amount x float(p / 100).
ppMoney Share(ppMoney amount, float percent) { return amount.MultipliedByFloat(float(percent / 100.0)); }

// A Discount line's amount: its percentage of the sums above it, and nothing without a percentage
// (an amount a document stored beside an empty percentage is no discount the user can see or edit).
ppMoney DiscountShare(ppMoney amount, float percent) {
  return percent == 0.0f ? ppMoney::FromRaw(0) : Share(amount, percent);
}

// What a priced line (a plan element's or an Item/Service) adds to the sums: a line without a price
// (its unit has no price record) shows no amount and adds nothing, so that the priced lines still
// add up to a Total instead of leaving it without a value.
ppMoney Counted(ppMoney amount) { return amount.IsNull() ? ppMoney::FromRaw(0) : amount; }

int32_t Clamped(int64_t value) { return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)); }

}  // namespace

// ---- list surgery ------------------------------------------------------------------------------

Handle zelvproCalculatorFil::PackNew(char* buffer) {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, 0);
  try {
    PackRecord(buffer, h);
  } catch (...) {
    MemDispose(h);
    throw;
  }
  return h;
}

void zelvproCalculatorFil::Rearrange(const std::vector<Slot>& slots) {
  std::vector<Handle>& records = RecordHandles();
  std::vector<Handle> next;
  next.reserve(slots.size());
  std::vector<int32_t> from;
  from.reserve(slots.size());
  std::vector<bool> kept(records.size(), false);
  for (const Slot& slot : slots) {
    if (slot.from >= 0) {
      kept[size_t(slot.from)] = true;
      next.push_back(records[size_t(slot.from)]);
    } else {
      next.push_back(slot.fresh);
    }
    from.push_back(slot.from);
  }
  for (size_t i = 0; i < records.size(); ++i) {
    if (!kept[i]) MemDispose(records[i]);
  }
  records = std::move(next);
  refs_.Rearrange(from);
  // Positions moved: the merging's lookups are read again at their next question.
  index_.Forget();
  unsaved_ = true;
  CheckInStep();
}

template <typename Drop>
void zelvproCalculatorFil::RemoveLinesWhere(Drop drop) {
  std::vector<Slot> slots;
  const int32_t count = GetRecordCount();
  slots.reserve(size_t(count));
  for (int32_t i = 0; i < count; ++i) {
    ReadRecordAt(i, scratch_);
    if (!drop(scratch_)) slots.push_back(Slot{i, nullptr});
  }
  if (int32_t(slots.size()) != count) Rearrange(slots);
}

template <typename Key, typename Less>
void zelvproCalculatorFil::SortLines(Key (zelvproCalculatorFil::*keyOf)(char*), Less less) {
  std::vector<Handle>& records = RecordHandles();
  // Keys are read once per line from the stored fields (no recalculation), not per comparison.
  std::vector<Key> keys;
  keys.reserve(records.size());
  for (Handle h : records) {
    UnpackRecord(scratch_, h);
    keys.push_back((this->*keyOf)(scratch_));
  }
  std::vector<int32_t> order(records.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int32_t a, int32_t b) { return less(keys[size_t(a)], keys[size_t(b)]); });
  bool moved = false;
  std::vector<Slot> slots;
  slots.reserve(order.size());
  for (size_t k = 0; k < order.size(); ++k) {
    moved = moved || order[k] != int32_t(k);
    slots.push_back(Slot{order[k], nullptr});
  }
  if (moved) Rearrange(slots);
}

// ---- texts -------------------------------------------------------------------------------------

Vcon::WString zelvproCalculatorFil::ListText(int32_t number, int32_t item) {
  Vcon::WString text;
  if (GetTextById(number, text)) return text;
  text.clear();
  if (plat::ResourceRegistry::Instance().Find("STRINGARRAY", kListTexts))
    GetStringArrayText(text, kListTexts, item);
  return text;
}

Vcon::WString zelvproCalculatorFil::TagTextOf(int32_t tag) {
  zelvproTagFil* tags = TagTable();
  if (tags == nullptr || tags->GetRecordCount() == 0) return Vcon::WString();
  // A tag id without a record finds index 0, the first tag record.
  tags->GoToItem(tags->IndexOfId(tag));
  return RecordField(*tags, "ttext").WideText(tags->GetRecordBuffer());
}

char* zelvproCalculatorFil::GeneratedLine(int32_t type, int32_t tag, const Vcon::WString& text) {
  ClearRecordBuffer(scratch_);
  BufferRefs(scratch_) = {};
  SetLong(scratch_, kType, type);
  SetLong(scratch_, kTag, tag);
  SetWide(scratch_, kOtherText, text);
  return scratch_;
}

void zelvproCalculatorFil::PutTotals(char* b, ppMoney total, ppMoney total2, int64_t weight, int64_t volume) {
  RecordField(*this, "total").SetMoneyRaw(b, total.Raw());
  RecordField(*this, "total2").SetMoneyRaw(b, total2.Raw());
  SetLong(b, kWeightTotal, Clamped(weight));
  SetLong(b, kVolumeTotal, Clamped(volume));
}

Vcon::String zelvproCalculatorFil::PriceTypeOf(char* buffer) {
  zelvDatabase* db = BufferRefs(buffer).db;
  const int32_t priceId = Long(Buffer(buffer), kPriceId);
  if (db == nullptr || priceId == 0) return Vcon::String();
  CalculationCatalogViews::Views& views = views_.For(*db);
  if (!CalculationCatalogViews::Read(*views.prices, priceId)) return Vcon::String();
  return views.priceType.Text(views.prices->GetRecordBuffer());
}

// ---- tidy-up steps -----------------------------------------------------------------------------

void zelvproCalculatorFil::RemoveLinesOfType(int32_t type) {
  RemoveLinesWhere([&](char* b) { return Long(b, kType) == type; });
}

void zelvproCalculatorFil::DeleteNonPositiveItemLines() {
  // A quantity below 0 (typed into an element) counts as none: such a line is gone before the sums,
  // or the Total would hold an amount no visible line carries.
  RemoveLinesWhere(
      [&](char* b) { return IsElementLine(Long(b, kType)) && Quantity(b, kPieces).ToDouble() <= 0.0; });
}

void zelvproCalculatorFil::RemoveEmptyItemLines() {
  RemoveLinesWhere([&](char* b) {
    return IsElementLine(Long(b, kType)) &&
           (Quantity(b, kPieces).ToDouble() <= 0.0 || Money(b, kTotal).Raw() == 0);
  });
}

void zelvproCalculatorFil::ClearMissingCounts() {
  for (int32_t i = 0; i < GetRecordCount(); ++i) {
    ReadRecordAt(i, scratch_);
    if (!IsElementLine(Long(scratch_, kType))) continue;
    SetLong(scratch_, kMissing, 0);
    WriteRecordAt(i, scratch_);
  }
  unsaved_ = true;
}

void zelvproCalculatorFil::ArrangeEmptyLines() {
  RemoveLinesOfType(kEmptyLine);
  char* empty = NewRecordBuffer();
  std::vector<Slot> slots;
  try {
    ClearRecordBuffer(empty);
    int32_t lastPrimSort = 0;
    bool lastEmpty = false;
    auto addEmpty = [&] {
      if (lastEmpty) return;
      slots.push_back(Slot{-1, PackNew(empty)});
      lastEmpty = true;
    };
    std::vector<Handle>& records = RecordHandles();
    for (int32_t i = 0; i < int32_t(records.size()); ++i) {
      UnpackRecord(scratch_, records[size_t(i)]);
      const int32_t type = Long(scratch_, kType);
      if ((type == kTotalLine || type == kSubtotalLine || type == kVatLine) && lastPrimSort < 400) addEmpty();
      slots.push_back(Slot{i, nullptr});
      lastEmpty = false;
      lastPrimSort = Long(scratch_, kPrimSort);
      if (type == kTagSubtotal || type == kTotalLine || type == kUnusedLine) addEmpty();
    }
    // Never a blank line at the end.
    while (!slots.empty() && slots.back().from < 0) {
      MemDispose(slots.back().fresh);
      slots.pop_back();
    }
    Rearrange(slots);
  } catch (...) {
    for (const Slot& slot : slots) {
      if (slot.from < 0) MemDispose(slot.fresh);
    }
    DisposeRecordBuffer(empty);
    throw;
  }
  DisposeRecordBuffer(empty);
}

// ---- sort keys and orders ----------------------------------------------------------------------

bool zelvproCalculatorFil::StringGreater(const Vcon::String& a, const Vcon::String& b) {
  // std::char_traits<char> compares as unsigned bytes, as the C library's strcmp does.
  return a.compare(b) > 0;
}

zelvproCalculatorFil::TagSortKey zelvproCalculatorFil::TagSortKeyOf(char* buffer) {
  char* b = Buffer(buffer);
  TagSortKey key;
  key.type = Long(b, kType);
  key.tag = Long(b, kTag);
  key.id = Long(b, kRecordId);
  if (key.type == kDiscountLine && key.tag == 0)
    key.rank = 1;
  else if (key.type == kSubtotalLine)
    key.rank = 2;
  else if (key.type == kVatLine)
    key.rank = 3;
  else if (key.type == kTotalLine)
    key.rank = 4;
  if (key.rank != 0) key.tag = key.type = 0;
  return key;
}

bool zelvproCalculatorFil::CompareLinesForTags(const TagSortKey& a, const TagSortKey& b) {
  if (a.rank != b.rank) return a.rank < b.rank;
  if (a.tag != b.tag) return a.tag < b.tag;
  if (a.type != b.type) return a.type < b.type;
  return a.id < b.id;
}

zelvproCalculatorFil::DisplaySortKey zelvproCalculatorFil::DisplaySortKeyOf(char* buffer) {
  char* b = Buffer(buffer);
  DisplaySortKey key;
  key.primSort = Long(b, kPrimSort);
  key.tag = Long(b, kTag);
  key.secSort = Long(b, kSecSort);
  key.number = Long(b, kNumber);
  key.sequence = Long(b, kSequence);
  key.type = Long(b, kType);
  key.group = Text(b, kGroup);
  key.sort3 = Long(b, kSort3);
  key.sort4 = Long(b, kSort4);
  key.unitId = Long(b, kUnitId);
  return key;
}

bool zelvproCalculatorFil::CompareLinesForDisplay(const DisplaySortKey& a, const DisplaySortKey& b) {
  if (a.primSort != b.primSort) return a.primSort < b.primSort;
  if (a.tag != b.tag) return a.tag < b.tag;
  if (a.secSort != b.secSort) return a.secSort < b.secSort;
  // A numbered line goes before an unnumbered one.
  if ((a.number != 0) != (b.number != 0)) return a.number != 0;
  if (a.number != b.number) return a.number < b.number;
  if (a.sequence != b.sequence) return a.sequence < b.sequence;
  if (a.type != b.type) return a.type < b.type;
  // One byte comparison decides both "differ" and "greater".
  if (a.group.compare(b.group) != 0) return !StringGreater(a.group, b.group);
  if (a.sort3 != b.sort3) return a.sort3 < b.sort3;
  if (a.sort4 != b.sort4) return a.sort4 < b.sort4;
  return a.unitId < b.unitId;
}

void zelvproCalculatorFil::SortLinesForTags() {
  BeginAccess();
  SortLines(&zelvproCalculatorFil::TagSortKeyOf, &CompareLinesForTags);
  if (unsaved_) SaveToBlob();
}

void zelvproCalculatorFil::AssignSortKeys() {
  BeginAccess();
  SetKeysAndSort();
  SaveToBlob();
}

void zelvproCalculatorFil::SetKeysAndSort() {
  for (int32_t i = 0; i < GetRecordCount(); ++i) {
    ReadRecordAt(i, scratch_);
    char* b = scratch_;
    const int32_t type = Long(b, kType);
    const int32_t group = Long(b, kTag) != 0 ? 200 : 300;
    int32_t prim = 999, sec = 0;
    switch (type) {
      case kCalculationItem:
      case kElementLine2:
      case kElementLine3:
        prim = group, sec = 200;
        break;
      case kTagSubtotal:
        prim = group, sec = 400;
        break;
      case kTotalLine:
        prim = 600;
        break;
      case kUnusedLine:
        prim = 100;
        break;
      case kTagHeading:
        prim = group, sec = 100;
        break;
      case kItemService:
        prim = group, sec = 250;
        break;
      case kTextLine:
        prim = group, sec = 300;
        break;
      case kDiscountLine:
        prim = group, sec = 275;
        break;
      case kSubtotalLine:
        prim = 400;
        break;
      case kVatLine:
        prim = 500;
        break;
      case kNoteLine:
        prim = 700;
        break;
      default:
        break;
    }
    int32_t sort3 = 0, sort4 = 0;
    if (IsElementLine(type)) {
      if (zelvproElement* element = BufferRefs(b).element) {
        auto* parent = dynamic_cast<zelvproElement*>(element->GetSupervisor());
        if (parent != nullptr && parent->GetFlags() != 0) {
          sort3 = parent->GetSaveId();
          sort4 = element->GetSaveId();
        } else if (parent != nullptr && element->GetFlags() != 0) {
          sort3 = element->GetSaveId();
        }
      }
    }
    SetLong(b, kPrimSort, prim);
    SetLong(b, kSecSort, sec);
    SetLong(b, kSort3, sort3);
    SetLong(b, kSort4, sort4);
    WriteRecordAt(i, b);
  }
  unsaved_ = true;
  SortLines(&zelvproCalculatorFil::DisplaySortKeyOf, &CompareLinesForDisplay);
}

// ---- packets, notes, groups and sums -----------------------------------------------------------

void zelvproCalculatorFil::BuildPacketLines() {
  ClearMissingCounts();
  std::vector<zelvDatabase*> databases;
  for (int32_t i = 0; i < GetRecordCount(); ++i) {
    ReadRecordAt(i, scratch_);
    zelvDatabase* db = BufferRefs(scratch_).db;
    if (db != nullptr && std::find(databases.begin(), databases.end(), db) == databases.end())
      databases.push_back(db);
  }
  char* b = NewRecordBuffer();
  try {
    for (zelvDatabase* db : databases) {
      if (db->PacketFile().GetRecordCount() == 0) continue;
      CalculatorPacketTree tree(*db);
      for (int32_t i = 0; i < GetRecordCount(); ++i) {
        ReadRecordAt(i, b);
        if (BufferRefs(b).db != db) continue;
        BuildLineTexts(b);
        // A packet line of an earlier build is made again from its units.
        if (packetField_ >= 0 && Long(b, packetField_) != 0)
          SetQuantity(b, kPieces, DecimalNumber(0.0, 0));
        else
          tree.AddLine(*this, i, b);
        WriteRecordAt(i, b);
      }
      tree.Resolve();
      tree.Emit(*this);
    }
  } catch (...) {
    ForgetBuffer(b);
    DisposeRecordBuffer(b);
    throw;
  }
  ForgetBuffer(b);
  DisposeRecordBuffer(b);
  unsaved_ = true;
}

void zelvproCalculatorFil::AssignNotes() {
  struct Note {
    int32_t id;
    zelvDatabase* db;
  };
  std::vector<Note> notes;
  std::vector<Vcon::WString> texts;
  for (int32_t i = 0; i < GetRecordCount(); ++i) {
    ReadRecordAt(i, scratch_);
    const int32_t unit = Long(scratch_, kUnitId);
    zelvproElement* element = BufferRefs(scratch_).element;
    if (element == nullptr || unit == 0) continue;
    zelvDatabase* db = element->GetDatabase();
    if (db == nullptr) continue;
    CalculationCatalogViews::Views& views = views_.For(*db);
    if (!CalculationCatalogViews::Read(*views.units, unit)) continue;
    const int32_t note = views.unitNote.Long(views.units->GetRecordBuffer());
    if (note == 0) continue;
    size_t k = 0;
    while (k < notes.size() && !(notes[k].id == note && notes[k].db == db)) ++k;
    if (k == notes.size()) {
      Vcon::WString text = Vcon::WString(std::to_string(notes.size() + 1)) + u") ";
      if (CalculationCatalogViews::Read(*views.notes, note))
        text += views.noteText.WideText(views.notes->GetRecordBuffer());
      notes.push_back(Note{note, db});
      texts.push_back(std::move(text));
    }
    SetLong(scratch_, kNoteIndex, int32_t(k + 1));
    WriteRecordAt(i, scratch_);
  }
  noteTexts_ = std::move(texts);
}

void zelvproCalculatorFil::BuildTagGroups() {
  const Vcon::WString subtotalText = ListText(kTagSubtotalText, 3);
  std::vector<Slot> slots;
  slots.reserve(size_t(GetRecordCount()) + 8);
  Sums group;
  int32_t current = 0;
  auto subtotal = [&] {
    char* s = GeneratedLine(kTagSubtotal, current, subtotalText + TagTextOf(current));
    PutTotals(s, group.total, group.total2, group.weight, group.volume);
    slots.push_back(Slot{-1, PackNew(s)});
  };
  try {
    for (int32_t i = 0; i < GetRecordCount(); ++i) {
      ReadRecordAt(i, record_);
      BuildLineTexts(record_);
      char* b = record_;
      const int32_t type = Long(b, kType), tag = Long(b, kTag);
      if (type == kDiscountLine && tag == 0) {
        slots.push_back(Slot{i, nullptr});
        continue;
      }
      const float percent = Percent(b);
      if (type == kDiscountLine) {
        PutTotals(b, DiscountShare(group.total, percent), DiscountShare(group.total2, percent),
                  Long(b, kWeightTotal), Long(b, kVolumeTotal));
        WriteRecordAt(i, b);
      }
      if (IsElementLine(type) || type == kItemService || type == kDiscountLine) {
        if (tag != current) {
          if (current != 0) subtotal();
          group = Sums{};
          current = tag;
          // The untagged lines form a group without a heading.
          if (current != 0)
            slots.push_back(Slot{-1, PackNew(GeneratedLine(kTagHeading, tag, TagTextOf(tag)))});
        }
        const bool priced = type != kDiscountLine;
        group.total += priced ? Counted(Money(b, kTotal)) : Money(b, kTotal);
        group.total2 += priced ? Counted(Money(b, kTotal2)) : Money(b, kTotal2);
        if (priced) {
          group.weight += Long(b, kWeightTotal);
          group.volume += Long(b, kVolumeTotal);
        }
      }
      slots.push_back(Slot{i, nullptr});
    }
    if (current != 0) subtotal();
  } catch (...) {
    for (const Slot& slot : slots) {
      if (slot.from < 0) MemDispose(slot.fresh);
    }
    throw;
  }
  Rearrange(slots);
}

void zelvproCalculatorFil::RunningSums() {
  Sums sums;
  for (int32_t i = 0; i < GetRecordCount(); ++i) {
    ReadRecordAt(i, record_);
    char* b = record_;
    BuildLineTexts(b);
    const int32_t type = Long(b, kType), tag = Long(b, kTag);
    const float percent = Percent(b);
    if (type == kDiscountLine && tag == 0) {
      PutTotals(b, DiscountShare(sums.total, percent), DiscountShare(sums.total2, percent),
                Long(b, kWeightTotal), Long(b, kVolumeTotal));
      WriteRecordAt(i, b);
    }
    if (IsElementLine(type) || type == kItemService) {
      sums.total += Counted(Money(b, kTotal));
      sums.total2 += Counted(Money(b, kTotal2));
      sums.weight += Long(b, kWeightTotal);
      sums.volume += Long(b, kVolumeTotal);
    } else if (type == kSubtotalLine) {
      PutTotals(b, sums.total, sums.total2, Long(b, kWeightTotal), Long(b, kVolumeTotal));
      WriteRecordAt(i, b);
    } else if (type == kVatLine) {
      const ppMoney vat = Share(sums.total, percent), vat2 = Share(sums.total2, percent);
      PutTotals(b, vat, vat2, Long(b, kWeightTotal), Long(b, kVolumeTotal));
      sums.total += vat;
      sums.total2 += vat2;
      WriteRecordAt(i, b);
    } else if (type == kDiscountLine) {
      sums.total += Money(b, kTotal);
      sums.total2 += Money(b, kTotal2);
    }
  }
  char* total = GeneratedLine(kTotalLine, 0, ListText(kTotalText, 1));
  PutTotals(total, sums.total, sums.total2, sums.weight, sums.volume);
  InsertRecordAt(-1, total);
  for (const Vcon::WString& text : noteTexts_) {
    char* note = GeneratedLine(kNoteLine, 0, text);
    SetWide(note, kWideUnitDescription, text);
    InsertRecordAt(-1, note);
  }
  noteTexts_.clear();
}

void zelvproCalculatorFil::BuildLines() {
  BeginAccess();
  // Writes during the build need not keep the merging's lookups; they are read again afterwards.
  index_.Forget();
  for (int32_t type : {kUnusedLine, kTotalLine, kEmptyLine, kTagSubtotal, kTagHeading, kNoteLine})
    RemoveLinesOfType(type);
  BuildPacketLines();
  // Every line of the plan has come: a discount kept with the document that found no line has no
  // unit left to go to.
  ForgetKeptDiscounts();
  if (GetRecordCount() == 0) {
    SaveToBlob();
    return;
  }
  SortLines(&zelvproCalculatorFil::TagSortKeyOf, &CompareLinesForTags);
  AssignNotes();
  DeleteNonPositiveItemLines();
  BuildTagGroups();
  RunningSums();
  RemoveEmptyItemLines();
  SetKeysAndSort();
  ArrangeEmptyLines();
  SaveToBlob();
}

// ---- the whole-plan rebuild ------------------------------------------------------------------

void zelvproCalculatorFil::DeleteAllLines() {
  BeginAccess();
  Rearrange({});
  SaveToBlob();
}

void zelvproCalculatorFil::ReleaseLineData() {
  BeginAccess();
  ResetElementLines();
}

void zelvproCalculatorFil::RebuildLines(zelvproElement& canvas) {
  BeginAccess();
  canvas.AddToCalculation();
  SortLines(&zelvproCalculatorFil::TagSortKeyOf, &CompareLinesForTags);
  BuildLines();
}
