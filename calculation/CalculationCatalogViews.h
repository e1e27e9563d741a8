// The calculation's own views of the catalogue tables it reads (units, prices, colours, previews, notes),
// one set per catalogue database, made at first use. Reading a line's unit or looking up its price
// through these leaves the selection, current record and buffer of the catalogue's own tables as
// they were (the browser, the panels and the extras dialog work on those).
//
// Owns the views; the databases are not owned and must outlive this object. User-interface thread
// only.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "catalogue/records/RecordField.h"
#include "foundation/VconString.h"

class ppDatafile;
class zelvDatabase;
class zelvproColorCatalogFil;
class zelvproNoteFil;
class zelvproPriceFil;
class zelvproUnitFil;

class CalculationCatalogViews {
 public:
  // One database's views and the fields the calculation reads of them.
  struct Views {
    explicit Views(zelvDatabase& db);
    ~Views();
    std::unique_ptr<zelvproUnitFil> units;
    std::unique_ptr<zelvproPriceFil> prices;
    std::unique_ptr<zelvproColorCatalogFil> colours;
    std::unique_ptr<zelvproNoteFil> notes;
    RecordField unitName, unitNumber, unitVolume, unitWeight, unitPreview, unitNote, unitFlags;
    RecordField priceId, price, price2, orderNumber, sku, priceText, priceUnit, priceType;
    RecordField noteText;
    RecordField colourName;
    RecordField previewPicture;
  };

  CalculationCatalogViews();
  ~CalculationCatalogViews();

  Views& For(zelvDatabase& db);

  // Reads record `id` into the view's own buffer; false (nothing read) for id 0 or a record that is
  // gone. Other engine errors pass to the caller.
  static bool Read(ppDatafile& view, int32_t id);
  // The unit's number and name as the lines show it: "tnumber tname".
  static Vcon::WString NumberAndName(Views& views);

 private:
  std::map<zelvDatabase*, std::unique_ptr<Views>> views_;
};
