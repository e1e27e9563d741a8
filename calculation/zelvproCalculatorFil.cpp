#include "calculation/zelvproCalculatorFil.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <string>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproTagFil.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproLayerPalette.h"
#include "foundation/LocaleNumbers.h"
#include "foundation/NumberFormatter.h"

namespace {

// The percentage as the lists show it: two decimals with the user's decimal and thousands
// characters.
Vcon::String PercentText(float percent) {
  const char separators[2] = {LocaleDecimalChar(), LocaleThousandsChar()};
  return FormatNumber(double(percent), -1, 2, kFillSpaces, kSignMinus, std::string_view(separators, 2), 0);
}

Vcon::WString Widened(const Vcon::String& narrow) { return Vcon::WString(narrow); }

}  // namespace

zelvproCalculatorFil::zelvproCalculatorFil(ppDatabase& database, Handle blob)
    : ppEmbeddedData(kLayout, database, blob, nullptr), record_(GetRecordBuffer()) {
  scratch_ = NewRecordBuffer();
  // Fields that older layouts may lack, found in one pass over the layout's names (-1 when absent).
  RecordField delivery, packet, depth;
  RecordField::Bind(*this, {{delivery, "delivery"}, {packet, "packet"}, {depth, "depthID"}});
  deliveryField_ = delivery.Index();
  packetField_ = packet.Index();
  depthField_ = depth.Index();
}

zelvproCalculatorFil::~zelvproCalculatorFil() {
  ForgetKeptDiscounts();
  DisposeRecordBuffer(scratch_);
}

// ---- field access ------------------------------------------------------------------------------

int32_t zelvproCalculatorFil::Long(char* b, int32_t field) {
  ppParameter value;
  ppDatafile::GetFieldValue(field, value, b);
  return value.ToLong();
}

void zelvproCalculatorFil::SetLong(char* b, int32_t field, int32_t value) {
  ppDatafile::SetFieldValue(field, ppParameter(value), b);
}

ppMoney zelvproCalculatorFil::Money(char* b, int32_t field) {
  ppParameter value;
  ppDatafile::GetFieldValue(field, value, b);
  return value.ToMoney();
}

void zelvproCalculatorFil::SetMoney(char* b, int32_t field, ppMoney value) {
  ppDatafile::SetFieldValue(field, ppParameter(value), b);
}

ppFloat zelvproCalculatorFil::Float(char* b, int32_t field) {
  ppParameter value;
  ppDatafile::GetFieldValue(field, value, b);
  return value.ToPPFloat();
}

float zelvproCalculatorFil::Percent(char* b) {
  const ppFloat percent = Float(b, kDiscountPercent);
  return percent.IsNull() || !std::isfinite(percent.Value()) ? 0.0f : percent.Value();
}

DecimalNumber zelvproCalculatorFil::Quantity(char* b, int32_t field) {
  ppParameter value;
  ppDatafile::GetFieldValue(field, value, b);
  return value.ToQuantity();
}

void zelvproCalculatorFil::SetQuantity(char* b, int32_t field, const DecimalNumber& value) {
  ppDatafile::SetFieldValue(field, ppParameter(value), b);
}

Vcon::WString zelvproCalculatorFil::Wide(char* b, int32_t field) {
  ppParameter value;
  ppDatafile::GetFieldValue(field, value, b);
  return value.AsWString();
}

void zelvproCalculatorFil::SetWide(char* b, int32_t field, const Vcon::WString& text) {
  ppDatafile::SetFieldValue(field, ppParameter(text), b);
}

Vcon::String zelvproCalculatorFil::Text(char* b, int32_t field) {
  ppParameter value;
  ppDatafile::GetFieldValue(field, value, b);
  return value.AsString();
}

void zelvproCalculatorFil::SetText(char* b, int32_t field, const Vcon::String& text) {
  ppDatafile::SetFieldValue(field, ppParameter(text), b);
}

std::vector<int32_t> zelvproCalculatorFil::ElementKeys(char* b) {
  return RecordField(*this, "elements").Words(Buffer(b));
}

// ---- records and their references ------------------------------------------------------------

zelvproCalculatorFil::LineRefs& zelvproCalculatorFil::BufferRefs(char* buffer) {
  return bufferRefs_[Buffer(buffer)];
}

void zelvproCalculatorFil::CheckInStep() {
  assert(refs_.Count() == GetRecordCount() && "line references out of step with the lines");
}

void zelvproCalculatorFil::ReadRecordAt(int32_t i, char* buffer) {
  if (!IsValid(i)) return;
  BufferRefs(buffer) = refs_.At(i);
  ++linesRead_;
  ppEmbeddedData::ReadRecordAt(i, buffer);
}

void zelvproCalculatorFil::WriteRecordAt(int32_t i, char* buffer) {
  if (!IsValid(i)) return;
  refs_.Write(i, BufferRefs(buffer), ElementKeys(buffer));
  if (index_.Known()) index_.Write(i, IndexEntry(Buffer(buffer), BufferRefs(buffer)));
  ppEmbeddedData::WriteRecordAt(i, buffer);
  CheckInStep();
}

void zelvproCalculatorFil::InsertRecordAt(int32_t i, char* buffer) {
  // Where the base puts the record: past the end, and -1, append.
  if (i < 0 || i > GetRecordCount()) i = GetRecordCount();
  refs_.Insert(i, BufferRefs(buffer), ElementKeys(buffer));
  if (index_.Known()) index_.Insert(i, IndexEntry(Buffer(buffer), BufferRefs(buffer)));
  try {
    ppEmbeddedData::InsertRecordAt(i, buffer);
  } catch (...) {
    // Inserted only when the base stored the record.
    if (refs_.Count() > GetRecordCount()) refs_.Erase(i);
    if (index_.Known() && index_.Count() > GetRecordCount()) index_.Erase(i);
    throw;
  }
  CheckInStep();
}

void zelvproCalculatorFil::DeleteRecordAt(int32_t i) {
  if (!IsValid(i)) return;
  refs_.Erase(i);
  if (index_.Known()) index_.Erase(i);
  ppEmbeddedData::DeleteRecordAt(i);
  CheckInStep();
}

void zelvproCalculatorFil::PackRecord(char* buffer, Handle h) {
  // The words that stand for addresses at run time are never stored.
  SetLong(Buffer(buffer), kDb, 0);
  SetLong(Buffer(buffer), kElement, 0);
  ppEmbeddedData::PackRecord(buffer, h);
}

void zelvproCalculatorFil::SaveToBlob() {
  Handle blob = Blob();
  if (blob == nullptr || Owner() != nullptr) {
    ppEmbeddedData::SaveToBlob();
    unsaved_ = false;
    return;
  }
  // The same bytes as the base writes, sized once and copied once: growing the handle record by
  // record moves it again and again, which made every save of a long list quadratic.
  auto padded = [](uint32_t n) { return (n + 3u) & ~3u; };
  const std::vector<Handle>& records = RecordHandles();
  uint32_t size = 4;
  for (Handle record : records) size = padded(size + 4 + uint32_t(MemGetSize(record)));
  MemSetSize(blob, size);
  char* bytes = *blob;
  std::memset(bytes, 0, size);
  uint32_t at = 0;
  for (Handle record : records) {
    const int32_t length = int32_t(MemGetSize(record));
    std::memcpy(bytes + at, &length, 4);  // the program runs little-endian only
    std::memcpy(bytes + at + 4, *record, size_t(length));
    at = padded(at + 4 + uint32_t(length));
  }
  unsaved_ = false;
}

void zelvproCalculatorFil::BeginAccess() {
  // Lines the merging changed are newer than the handle: they are saved, not reloaded over.
  if (unsaved_) SaveToBlob();
  ppEmbeddedData::BeginAccess();
  if (refs_.Count() != GetRecordCount()) {
    refs_.Resize(GetRecordCount());
    // Lines came or went behind the table's back: the index is read again at its next question.
    index_.Forget();
  }
}

// ---- the user's lines in the document -------------------------------------------------------

void zelvproCalculatorFil::PackUserLines(Handle into) {
  if (into == nullptr) return;
  BeginAccess();
  MemSetSize(into, 0);
  // A plain table of the layout over the document's handle: it stores the bytes as they are, with
  // no recalculation or references of its own.
  ppEmbeddedData kept(kLayout, Database(), into, nullptr);
  char* b = scratch_;
  for (int32_t i = 0; i < GetRecordCount(); ++i) {
    ReadRecordAt(i, b);
    if (!IsUserLineType(Long(b, kType))) continue;
    SetLong(b, kDb, 0);
    SetLong(b, kElement, 0);
    kept.InsertRecordAt(-1, b);
  }
  // After the user's lines, the plan's lines the user gave a discount: the plan makes them again on
  // reopening, and each gets its discount back by its keys. The element keys mean nothing in a file.
  const RecordField elements(*this, "elements");
  for (int32_t i = 0; i < GetRecordCount(); ++i) {
    ReadRecordAt(i, b);
    if (!HasOwnDiscount(b)) continue;
    if (Handle list = elements.Data(b)) MemSetSize(list, 0);
    SetLong(b, kDb, 0);
    SetLong(b, kElement, 0);
    kept.InsertRecordAt(-1, b);
  }
  // Discounts of a document opened and saved again before its list was rebuilt.
  for (char* k : kept_)
    if (k != nullptr) kept.InsertRecordAt(-1, k);
  kept.SaveToBlob();
}

int32_t zelvproCalculatorFil::HighestLineId() {
  int32_t highest = 0;
  for (int32_t i = 0; i < GetRecordCount(); ++i) {
    ReadRecordAt(i, scratch_);
    highest = std::max(highest, Long(scratch_, kRecordId));
  }
  return highest;
}

int32_t zelvproCalculatorFil::AppendUserLines(Handle from) {
  ForgetKeptDiscounts();
  if (from == nullptr || MemGetSize(from) == 0) return 0;
  ppEmbeddedData kept(kLayout, Database(), from, nullptr);
  kept.LoadFromBlob();
  BeginAccess();
  // The number the line had when it was saved may be one the running number hands out again: like
  // every new line, each takes a fresh one, so that a selection by number finds that line alone.
  // Without a palette (no document window) one above every number in use keeps them unique.
  zelvproLayerPalette* palette = iElementHost::Current().LayerPalette();
  int32_t unpaletted = palette == nullptr ? HighestLineId() + 1 : 0;
  int32_t added = 0;
  char* b = scratch_;
  for (int32_t i = 0; i < kept.GetRecordCount(); ++i) {
    kept.ReadRecordAt(i, b);
    if (HasOwnDiscount(b)) {
      char* line = NewRecordBuffer();
      kept.ReadRecordAt(i, line);
      KeepDiscount(line);
      continue;
    }
    if (!IsUserLineType(Long(b, kType))) continue;
    // References come from the running program only: the line's catalogue by its identifier.
    LineRefs& refs = BufferRefs(b);
    refs = LineRefs{};
    refs.db = FindDatabase(Long(b, kDatabaseId));
    SetLong(b, kRecordId, palette != nullptr ? palette->NextId() : unpaletted++);
    InsertRecordAt(-1, b);
    ++added;
  }
  if (added > 0) SaveToBlob();
  return added;
}

// ---- properties ------------------------------------------------------------------------------

ppParameter zelvproCalculatorFil::GetValue(int32_t index) {
  const bool ownRule = index == kTag || index == kDiscountPercent;
  const bool displayed = index == kOldPieces || index == kPiecesAndMissing || index == kVolumeTotal ||
                         index == kWeightTotal || index == kMissing ||
                         (index >= kPrice && index <= kTotalText2) || index == kNumber;
  if (!ownRule && !displayed) return ppEmbeddedData::GetValue(index);
  BeginAccess();
  SetCurrentRecordId(GetCurrentItem());
  if (GetSelectedCount() == 0) return ppParameter();
  ReloadCurrent();
  if (index == kTag) {
    zelvproTagFil* tags = TagTable();
    const int32_t position = tags != nullptr ? tags->IndexOfId(Long(record_, kTag)) : 0;
    return ppParameter(position * kIdScale + 1);
  }
  if (index == kDiscountPercent) return ppParameter(PercentText(Percent(record_)));
  // Fields whose display form differs read their stored value here.
  ppParameter value;
  ppDatafile::GetFieldValue(index, value, nullptr);
  return value;
}

void zelvproCalculatorFil::GetFieldValue(int32_t field, ppParameter& out, char* buffer) {
  char* b = Buffer(buffer);
  switch (field) {
    case kOldPieces:
    case kPiecesAndMissing:
      if (Quantity(b, kPieces).IsZero()) {
        out = ppParameter(Vcon::WString());
        return;
      }
      break;
    case kVolumeTotal:
    case kWeightTotal: {
      const int32_t value = Long(b, field);
      // Always a comma for the decimals and a point for thousands, whatever the user's settings.
      out = value == 0 ? ppParameter(Vcon::WString())
                       : ppParameter(Widened(FormatNumber(double(float(value / 1000.0)), -1, 2, kFillSpaces,
                                                          kSignMinus, ",.", 0)));
      return;
    }
    case kMissing:
    case kNumber:
      if (Long(b, field) == 0) {
        out = ppParameter(Vcon::WString());
        return;
      }
      break;
    case kPrice:
    case kTotal:
    case kPrice2:
    case kTotal2:
      out = ppParameter(Money(b, field).ToString());
      return;
    case kDiscount: {
      const ppMoney amount = Money(b, field);
      out = amount.Raw() == 0 ? ppParameter(Vcon::WString()) : ppParameter(amount.ToString());
      return;
    }
    case kPriceText2:
    case kTotalText2:
      out = ppParameter(Widened(Text(b, field)));
      return;
    case kDiscountPercent: {
      const float percent = Percent(b);
      out = percent == 0.0f ? ppParameter(Vcon::WString()) : ppParameter(Widened(PercentText(percent)));
      return;
    }
    default:
      break;
  }
  ppEmbeddedData::GetFieldValue(field, out, buffer);
}
