// Adding, merging and removing the lines of plan elements, the article list, and the line table as
// the plan elements' calculation list.
#include <algorithm>
#include <cassert>
#include <cstring>

#include "calculation/zelvproCalculatorFil.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "database/ppDatafileExport.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/zelvproElement.h"
#include "foundation/FileOperations.h"
#include "foundation/SafeFileWrite.h"

namespace {

// FNV-1a over the bytes of the key values, in a fixed order.
class Digest {
 public:
  Digest& Add(const void* bytes, size_t count) {
    const auto* p = static_cast<const uint8_t*>(bytes);
    for (size_t k = 0; k < count; ++k) value_ = (value_ ^ p[k]) * 0x100000001b3ULL;
    return *this;
  }
  Digest& Add(int64_t number) { return Add(&number, sizeof number); }
  Digest& Add(const Vcon::WString& text) {
    Add(int64_t(text.size()));
    return Add(text.data(), text.size() * sizeof(text[0]));
  }
  uint64_t Value() const { return value_; }

 private:
  uint64_t value_ = 0xcbf29ce484222325ULL;
};

// Money written as its raw amount: the field's own write goes through text and may round.
void PutMoney(ppDatafile& file, char* b, const char* field, ppMoney amount) {
  RecordField(file, field).SetMoneyRaw(b, amount.Raw());
}

// One of `count` equal parts of `total`, truncated at its places; the last part takes the rest.
DecimalNumber ShareOf(const DecimalNumber& total, int32_t count) {
  if (count <= 1 || total.IsMaxValue()) return total;
  DecimalNumber share;
  share.SetRawWord((total.Amount() / count) * 8 + total.Places());
  return share;
}

bool MergeByArticle() {
  return (iApplicationSettings::Current().flags1 & zelvproCalculatorFil::kMergeByArticle) != 0;
}

}  // namespace

// ---- keys ------------------------------------------------------------------------------------

// The digests leave out what a read may change: the database reference (found again from the
// identifier) and the price (an item line takes the catalogue's on every read). A matching line
// therefore always shares the digest of the line it matches.
uint64_t zelvproCalculatorFil::AllKeysDigest(char* b) {
  Digest digest;
  for (int32_t field : {int32_t(kUnitId), int32_t(kType), int32_t(kPriceId), int32_t(kTag), deliveryField_,
                        packetField_, int32_t(kColorId), int32_t(kSort5), depthField_})
    digest.Add(int64_t(field >= 0 ? Long(b, field) : 0));
  return digest.Add(Wide(b, kDimensions)).Value();
}

uint64_t zelvproCalculatorFil::ArticleKeysDigest(char* b) {
  return Digest()
      .Add(int64_t(Long(b, kTag)))
      .Add(int64_t(Long(b, kPriceId)))
      .Add(Wide(b, kDimensions))
      .Value();
}

bool zelvproCalculatorFil::AllKeysEqual(char* r, char* n) {
  for (int32_t field : {int32_t(kUnitId), int32_t(kType), int32_t(kPriceId), int32_t(kTag), deliveryField_,
                        packetField_, int32_t(kColorId), int32_t(kSort5), depthField_}) {
    if (field >= 0 && Long(r, field) != Long(n, field)) return false;
  }
  return Money(r, kPrice).Raw() == Money(n, kPrice).Raw() && Wide(r, kDimensions) == Wide(n, kDimensions);
}

bool zelvproCalculatorFil::ArticleKeysEqual(char* r, const LineRefs& rRefs, char* n, const LineRefs& nRefs) {
  return rRefs.db == nRefs.db && Long(r, kTag) == Long(n, kTag) && Long(r, kPriceId) == Long(n, kPriceId) &&
         Wide(r, kDimensions) == Wide(n, kDimensions);
}

CalculationLineIndex::Entry zelvproCalculatorFil::IndexEntry(char* b, const LineRefs& refs) {
  return {AllKeysDigest(b), ArticleKeysDigest(b), refs.element, ElementKeys(b)};
}

CalculationLineIndex& zelvproCalculatorFil::Index() {
  if (!index_.Known()) {
    std::vector<CalculationLineIndex::Entry> entries;
    char* b = NewRecordBuffer();
    try {
      for (int32_t i = 0; i < GetRecordCount(); ++i) {
        ReadRecordAt(i, b);
        entries.push_back(IndexEntry(b, BufferRefs(b)));
      }
    } catch (...) {
      ForgetBuffer(b);
      DisposeRecordBuffer(b);
      throw;
    }
    ForgetBuffer(b);
    DisposeRecordBuffer(b);
    index_.Reset(std::move(entries));
  }
  return index_;
}

template <typename Test>
int32_t zelvproCalculatorFil::FirstLine(const std::vector<int32_t>& lines, Test test) {
  int32_t found = -1;
  if (plainWalk_) {
    for (int32_t i = 0; i < GetRecordCount(); ++i) {
      ReadRecordAt(i, scratch_);
      if (test(scratch_)) return i;
    }
    return -1;
  }
  for (int32_t i : lines) {
    ReadRecordAt(i, scratch_);
    if (test(scratch_)) {
      found = i;
      break;
    }
  }
#ifndef NDEBUG
  // The walk must give the same line. It runs on its own buffer so the scratch buffer still holds
  // the line found.
  char* walk = NewRecordBuffer();
  int32_t walked = -1;
  for (int32_t i = 0; i < GetRecordCount() && walked < 0; ++i) {
    ReadRecordAt(i, walk);
    if (test(walk)) walked = i;
  }
  ForgetBuffer(walk);
  DisposeRecordBuffer(walk);
  linesRead_ -= GetRecordCount();
  assert(walked == found && "the line index answered another line than the walk");
  if (found >= 0) ReadRecordAt(found, scratch_);
#endif
  return found;
}

void zelvproCalculatorFil::AppendElementKey(char* b, int32_t key) {
  Handle list = RecordField(*this, "elements").Data(b);
  if (list == nullptr) return;
  const uint32_t size = uint32_t(MemGetSize(list));
  MemSetSize(list, size + 4);
  std::memcpy(*list + size, &key, 4);
}

// ---- adding ----------------------------------------------------------------------------------

void zelvproCalculatorFil::PriceUnit(char* buffer) {
  char* n = Buffer(buffer);
  const LineRefs nRefs = BufferRefs(buffer);
  zelvproElement* element = nRefs.element;
  const bool separate = element != nullptr && element->SeparateLine();
  const bool numbered = Long(n, kNumber) != 0;
  const bool byArticle = MergeByArticle();
  bool added = false;

  auto finish = [&](int32_t i) {
    WriteRecordAt(i, scratch_);
    unsaved_ = true;
  };

  if (separate) {
    const int32_t i =
        FirstLine(Index().OwnedBy(element), [&](char* r) { return BufferRefs(r).element == element; });
    if (i >= 0) {
      SetQuantity(n, kPieces, element->ElementQuantity());
      // The contribution rewrites the line, but the discount the line was given stays with it.
      PutMoney(*this, n, "discount", Money(scratch_, kDiscount));
      ppDatafile::SetFieldValue(kDiscountPercent, ppParameter(Percent(scratch_)), n);
      // The line goes on listing its element, or taking the element out could not find it.
      const int32_t key = ElementKey(element);
      const std::vector<int32_t> listed = ElementKeys(n);
      if (std::find(listed.begin(), listed.end(), key) == listed.end()) AppendElementKey(n, key);
      WriteRecordAt(i, buffer);
      unsaved_ = true;
      return;
    }
  } else if (byArticle) {
    const int32_t priceId = Long(n, kPriceId);
    if (priceId != 0 && !numbered) {
      const int32_t i = FirstLine(Index().WithArticleKeys(ArticleKeysDigest(n)),
                                  [&](char* r) { return ArticleKeysEqual(r, BufferRefs(r), n, nRefs); });
      if (i >= 0) {
        char* r = scratch_;
        DecimalNumber pieces = Quantity(r, kPieces);
        pieces += Quantity(n, kPieces);
        SetQuantity(r, kPieces, pieces);
        SetLong(r, kMissing, Long(r, kMissing) + Long(n, kMissing));
        PutMoney(*this, r, "price", Money(n, kPrice));
        PutMoney(*this, r, "price2", Money(n, kPrice2));
        if (BufferRefs(r).db == nullptr) BufferRefs(r).db = nRefs.db;
        AppendElementKey(r, ElementKey(element));
        finish(i);
        added = true;
      }
    }
  } else if (!numbered) {
    const int32_t i =
        FirstLine(Index().WithAllKeys(AllKeysDigest(n)), [&](char* r) { return AllKeysEqual(r, n); });
    if (i >= 0) {
      char* r = scratch_;
      LineRefs& rRefs = BufferRefs(r);
      const bool differs = element != nullptr && rRefs.element != nullptr && Long(r, kTopViewId) != 0 &&
                           Long(n, kTopViewId) != 0 && rRefs.element->DiffersFromRecord(element);
      if (!differs) {
        // The contribution's own quantity: a unit priced by the metre adds its length, not a piece.
        DecimalNumber pieces = Quantity(r, kPieces);
        pieces += Quantity(n, kPieces);
        SetQuantity(r, kPieces, pieces);
        SetLong(r, kMissing, Long(r, kMissing) + Long(n, kMissing));
        if (rRefs.db == nullptr) rRefs.db = nRefs.db;
        AppendElementKey(r, ElementKey(element));
        finish(i);
        added = true;
      }
    }
  }
  if (!added && numbered && element != nullptr && !separate) added = TakeOverOwnLine(n, nRefs);
  if (added) return;

  // A new line.
  if (separate) SetQuantity(n, kPieces, element->ElementQuantity());
  FinishNewLine(n, BufferRefs(buffer));
  if (element != nullptr) {
    PutMoney(*this, n, "discount", element->DiscountAmount());
    const float percent = float(element->DiscountPercent());
    ppDatafile::SetFieldValue(kDiscountPercent, ppParameter(percent), n);
    if (percent != 0.0f)
      PutMoney(*this, n, "discount",
               Money(n, kPrice).MultipliedByFloatValue(ppFloat(percent)).DividedByInt(100));
  }
  TakeKeptDiscount(n, BufferRefs(buffer), byArticle);
  InsertRecordAt(-1, buffer);
  unsaved_ = true;
}

void zelvproCalculatorFil::FinishNewLine(char* n, LineRefs& refs) {
  AppendElementKey(n, ElementKey(refs.element));
  if (refs.db == nullptr) refs.db = dynamic_cast<zelvDatabase*>(&Database());
  if (refs.element != nullptr && !refs.element->LineText().empty())
    SetWide(n, kText, Vcon::WString(refs.element->LineText()));
  if (refs.db != nullptr) SetLong(n, kDatabaseId, refs.db->Identifier());
}

bool zelvproCalculatorFil::TakeOverOwnLine(char* n, const LineRefs& nRefs) {
  zelvproElement* element = nRefs.element;
  // The numbered line the element had before this rebuild, whatever its keys now (a colour, size or
  // price may have changed since); a line no contribution of this rebuild has taken yet has an empty
  // element list.
  const int32_t i = FirstLine(Index().OwnedBy(element), [&](char* r) {
    return BufferRefs(r).element == element && IsElementLineType(Long(r, kType)) && Long(r, kNumber) != 0 &&
           ElementKeys(r).empty();
  });
  if (i < 0) return false;
  // The contribution replaces the line, texts, keys and quantity alike; the line keeps its id and the
  // discount the user gave it. A percentage follows a new price, as a price written on the line does.
  char* r = scratch_;
  const ppMoney oldPrice = Money(r, kPrice), newPrice = Money(n, kPrice);
  const float percent = Percent(r);
  ppMoney discount = Money(r, kDiscount);
  if (percent != 0.0f && newPrice.Raw() != oldPrice.Raw() && !newPrice.IsNull())
    discount = newPrice.MultipliedByFloatValue(ppFloat(percent)).DividedByInt(100);
  SetLong(n, kRecordId, Long(r, kRecordId));
  PutMoney(*this, n, "discount", discount);
  ppDatafile::SetFieldValue(kDiscountPercent, ppParameter(percent), n);
  FinishNewLine(n, BufferRefs(n));
  ComputeTotals(n);
  WriteRecordAt(i, n);
  unsaved_ = true;
  return true;
}

// ---- discounts kept with the document ----------------------------------------------------------

bool zelvproCalculatorFil::HasOwnDiscount(char* b) {
  const ppMoney discount = Money(b, kDiscount);
  return IsElementLineType(Long(b, kType)) &&
         ((!discount.IsNull() && discount.Raw() != 0) || Percent(b) != 0.0f);
}

uint64_t zelvproCalculatorFil::KeptDigest(char* b) {
  return MergeByArticle() ? ArticleKeysDigest(b) : AllKeysDigest(b);
}

void zelvproCalculatorFil::KeepDiscount(char* line) {
  kept_.push_back(line);
  keptByKeys_.emplace(KeptDigest(line), kept_.size() - 1);
}

void zelvproCalculatorFil::TakeKeptDiscount(char* n, const LineRefs& nRefs, bool byArticle) {
  if (keptByKeys_.empty() || !IsElementLineType(Long(n, kType))) return;
  const auto [from, to] = keptByKeys_.equal_range(byArticle ? ArticleKeysDigest(n) : AllKeysDigest(n));
  for (auto it = from; it != to; ++it) {
    char* k = kept_[it->second];
    if (Long(k, kNumber) != Long(n, kNumber)) continue;
    const LineRefs kRefs{nullptr, FindDatabase(Long(k, kDatabaseId))};
    if (byArticle ? !ArticleKeysEqual(k, kRefs, n, nRefs) : !AllKeysEqual(k, n)) continue;
    PutMoney(*this, n, "discount", Money(k, kDiscount));
    ppDatafile::SetFieldValue(kDiscountPercent, ppParameter(Percent(k)), n);
    ForgetBuffer(k);
    DisposeRecordBuffer(k);
    kept_[it->second] = nullptr;
    keptByKeys_.erase(it);
    return;
  }
}

void zelvproCalculatorFil::ForgetKeptDiscounts() {
  for (char* k : kept_) {
    if (k == nullptr) continue;
    ForgetBuffer(k);
    DisposeRecordBuffer(k);
  }
  kept_.clear();
  keptByKeys_.clear();
}

// ---- removing --------------------------------------------------------------------------------

int32_t zelvproCalculatorFil::FindLineOfElement(zelvproElement* element) {
  if (element == nullptr) return -1;
  const int32_t key = refs_.FindKey(element);
  if (key == 0) return -1;
  static const std::vector<int32_t> kNoLines;
  return FirstLine(plainWalk_ ? kNoLines : Index().Listing(key), [&](char* r) {
    for (int32_t listed : ElementKeys(r)) {
      if (listed == key) return true;
    }
    return false;
  });
}

void zelvproCalculatorFil::RemoveElementLines(zelvproElement* element) {
  bool changed = false;
  for (;;) {
    const int32_t key = element != nullptr ? refs_.FindKey(element) : 0;
    const int32_t i = FindLineOfElement(element);
    if (i < 0) break;
    Handle list = RecordField(*this, "elements").Data(scratch_);
    const uint32_t size = uint32_t(MemGetSize(list));
    const int32_t listed = int32_t(size / 4);
    for (uint32_t at = 0; at + 4 <= size; at += 4) {
      int32_t entry = 0;
      std::memcpy(&entry, *list + at, 4);
      if (entry != key) continue;
      std::memmove(*list + at, *list + at + 4, size - at - 4);
      MemSetSize(list, size - 4);
      break;
    }
    DecimalNumber pieces = Quantity(scratch_, kPieces);
    if (BufferRefs(scratch_).element == element && element->SeparateLine()) {
      // The element's own separate line holds the element's whole quantity, not one piece.
      pieces -= element->ElementQuantity();
      if (pieces < DecimalNumber(0.0, 0)) pieces = DecimalNumber(0.0, 0);
    } else {
      // What this element added: equal contributions share a line (their sizes are a merge key), so
      // each added the line's quantity over the number of contributions it lists.
      pieces -= ShareOf(pieces, listed);
    }
    SetQuantity(scratch_, kPieces, pieces);
    WriteRecordAt(i, scratch_);
    changed = true;
  }
  if (changed) unsaved_ = true;
}

void zelvproCalculatorFil::ResetElementLines() {
  const RecordField list(*this, "elements");
  bool changed = false;
  for (int32_t i = 0; i < GetRecordCount(); ++i) {
    ReadRecordAt(i, record_);
    Handle words = list.Data(record_);
    if (words == nullptr || MemGetSize(words) == 0) continue;
    MemSetSize(words, 0);
    SetQuantity(record_, kPieces, DecimalNumber(0.0, 0));
    WriteRecordAt(i, record_);
    changed = true;
  }
  if (changed) unsaved_ = true;
}

// ---- article list ----------------------------------------------------------------------------

void zelvproCalculatorFil::ExportArticleList(ppFileSpec& file) {
  // Written beside the file and renamed over it once flushed, so a failed write (disk full, power
  // cut) leaves the previous list as it was rather than a file cut to nothing.
  ppFileSpec open;
  WriteFileSafely(file, open, [this, &open] {
    char* b = scratch_;
    for (int32_t i = 0; i < GetRecordCount(); ++i) {
      ReadRecordAt(i, b);
      const int32_t priceId = Long(b, kPriceId);
      zelvDatabase* db = BufferRefs(b).db;
      if (priceId == 0 || db == nullptr) continue;
      CalculationCatalogViews::Views& views = views_.For(*db);
      // A price record that is gone has no article number to write.
      if (!CalculationCatalogViews::Read(*views.prices, priceId)) continue;
      WriteValueAsText(open, ppParameter(views.orderNumber.Text(views.prices->GetRecordBuffer())), false);
      // The ordering systems read whole pieces: 1.5 is written 1.
      const DecimalNumber pieces = Quantity(b, kPieces);
      WriteValueAsText(
          open,
          ppParameter::FromDecimalNumber(pieces.IsMaxValue() ? pieces : DecimalNumber(pieces.ToInt64())),
          true);
    }
  });
}

// ---- the elements' calculation list ----------------------------------------------------------

void zelvproCalculatorFil::ClearBuffer() {
  ClearRecordBuffer(nullptr);
  BufferRefs(nullptr) = {};
}

void zelvproCalculatorFil::FinishLine(const LineRefs& refs) {
  BufferRefs(nullptr) = refs;
  BuildLineTexts(nullptr);
  ComputeTotals(record_);
}

void zelvproCalculatorFil::AddLine(const LineRefs& refs) {
  BufferRefs(nullptr) = refs;
  PriceUnit(nullptr);
}

void zelvproCalculatorFil::ElementGone(zelvproElement* element) {
  if (element == nullptr) return;
  refs_.ForgetElement(element);
  index_.ForgetOwner(element);
  for (auto& [buffer, refs] : bufferRefs_) {
    if (refs.element == element) refs.element = nullptr;
  }
}

void zelvproCalculatorFil::ShowLastLine() {
  if (showLastLine_) showLastLine_();
}
