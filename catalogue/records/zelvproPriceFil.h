// Price records: the prices of units by colour, colour group, depth and option key.
// The table of a catalogue database bound to layout "qxPrice".
//
// "price" and "price2" are money; a record whose "price" is exactly 0 keeps its prices in "xprice"
// and "xprice2" as whole hundredths instead. After every read the buffer holds money prices, passed
// through the price factor and rounding once a document's price settings are registered, and the
// item text ("text") in the current language when the catalogue's string table has it (text number
// record id x 10, as the other records' names).
//
// Lookups are cached per key for the life of the table: a hit copies the saved id list and asks the
// file nothing. Every change of price records made through this table (add, write, delete, import)
// drops the whole cache; changes made through another view of the file are seen only after
// ClearPriceCache.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <tuple>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"
#include "foundation/Vcon_HandleManager.h"

class zelvproPriceFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5409;
  static constexpr const char* kLayout = "qxPrice";

  // What a price is looked up by; 0 for colour, colour group or depth means "any".
  struct PriceKey {
    int32_t module = 0;
    int32_t color = 0;
    int32_t colorGroup = 0;
    int32_t depth = 0;
    std::string optionKey;
    friend bool operator<(const PriceKey& a, const PriceKey& b) {
      return std::tie(a.module, a.color, a.colorGroup, a.depth, a.optionKey) <
             std::tie(b.module, b.color, b.colorGroup, b.depth, b.optionKey);
    }
  };

  explicit zelvproPriceFil(ppDatabase& database);
  ~zelvproPriceFil() override;

  // The id of the first price of unit `module` matching the other values (a null option key is the
  // same as ""), or 0. Afterwards the selection holds every matching price id in index order.
  int32_t LookupPrice(int32_t module, int32_t color, int32_t colorGroup, int32_t depth,
                      const char* optionKey);
  // Forgets every cached lookup.
  void ClearPriceCache();
  size_t CachedKeys() const { return cache_.size(); }

  // Whole hundredths become money, the item text its localised text, then the price factor and
  // rounding apply (see above).
  void AfterRead(char* buffer) override;
  // The unit's text (or the price's "name" without a unit), then ", " and the text of the colour,
  // the colour group and the depth the price names, and ", " and its option key when it has one.
  // The buffer's prices are not touched.
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  // False while a price names record `id` as its unit, colour, colour group or depth.
  bool AllowsDeleteOf(int32_t fileId, int32_t id) override;
  // Without a field map these import through the program's import map of price records.
  void ImportFromFile(Handle fieldMap, const ppFileSpec& path) override;
  void ImportWithFileDialog(Handle fieldMap) override;
  // Reads records without the price factor and the localised text while it runs: a line that
  // changes a record writes the whole buffer back, and a factored price or a translated text in it
  // would be stored as the catalogue's own.
  void ImportText(Handle text, Handle fieldMap) override;

  // Changes of price records; each drops the lookup cache first.
  void AddRecord(int32_t* outId, char* buffer) override;
  void WriteRecord(int32_t id, char* buffer) override;
  void DeleteRecord(int32_t id) override;
  void InsertRecordAt(int32_t i, char* buffer) override;
  void DeleteRecordAt(int32_t i) override;

 private:
  void QueryPrices(const PriceKey& key, bool withOptionKey);
  Handle Matches(const RecordField& field, int32_t comparison, const void* key1, const void* key2);
  static void Narrow(Handle selection, Handle matches);
  void AppendLinkedText(Vcon::String& out, ppDatafile* table, int32_t id);

  RecordField name_, text_, module_, color_, colorGroup_, depth_, optionKey_;
  RecordField xprice_, xprice2_, price_, price2_;
  // Key -> the saved selection of its last successful query (a handle list the table owns); null
  // while the key has found nothing.
  std::map<PriceKey, Handle> cache_;
  // While true, reads leave out the price factor, the rounding and the localised text (see ImportText).
  bool storedPrices_ = false;
};
