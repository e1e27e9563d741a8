#include "calculation/CalculationCatalogViews.h"

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproNoteFil.h"
#include "catalogue/records/zelvproPreviewFil.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/dbErrors.h"

CalculationCatalogViews::Views::Views(zelvDatabase& db)
    : units(std::make_unique<zelvproUnitFil>(db)),
      prices(std::make_unique<zelvproPriceFil>(db)),
      colours(std::make_unique<zelvproColorCatalogFil>(db)),
      notes(std::make_unique<zelvproNoteFil>(db)),
      unitName(*units, "tname"),
      unitNumber(*units, "tnumber"),
      unitVolume(*units, "volume"),
      unitWeight(*units, "weight"),
      unitPreview(*units, "preview"),
      unitNote(*units, "note"),
      unitFlags(*units, "flags"),
      priceId(*prices, "id"),
      price(*prices, "price"),
      price2(*prices, "price2"),
      orderNumber(*prices, "orderno"),
      sku(*prices, "SKU"),
      priceText(*prices, "text"),
      priceUnit(*prices, "module"),
      priceType(*prices, "type"),
      colourName(*colours, "tname"),
      noteText(*notes, "note"),
      previewPicture(units->PreviewFile(), "preview") {}

CalculationCatalogViews::Views::~Views() = default;

CalculationCatalogViews::CalculationCatalogViews() = default;
CalculationCatalogViews::~CalculationCatalogViews() = default;

CalculationCatalogViews::Views& CalculationCatalogViews::For(zelvDatabase& db) {
  std::unique_ptr<Views>& views = views_[&db];
  if (!views) views = std::make_unique<Views>(db);
  return *views;
}

bool CalculationCatalogViews::Read(ppDatafile& view, int32_t id) {
  if (id <= 0) return false;
  try {
    view.ReadRecord(id, nullptr);
    return true;
  } catch (int32_t error) {
    // A line that names a record no longer in the catalogue keeps what it has.
    if (error != db::kNotFound && error != db::kOutOfRange) throw;
    return false;
  }
}

Vcon::WString CalculationCatalogViews::NumberAndName(Views& views) {
  const char* record = views.units->GetRecordBuffer();
  Vcon::WString text = views.unitNumber.WideText(record);
  text += u" ";
  text += views.unitName.WideText(record);
  return text;
}
