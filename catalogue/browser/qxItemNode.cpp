#include "catalogue/browser/qxItemNode.h"

#include <string_view>

#include "catalogue/browser/CatalogItemList.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproCatalogItemFil.h"
#include "foundation/LocaleNumbers.h"
#include "foundation/TextReference.h"

namespace {
constexpr int32_t kItemIdField = 0;  // "ID" of a catalogue item, the first field of its layout

// Whether the text (up to its first NUL, as the wide conversion reads it) ends in ";number", which
// ResolveTextRef looks up. Any other text comes back from it unchanged, and every narrow byte survives
// the way to wide and back: such a text is kept as it is, unconverted.
bool NamesText(const Vcon::String& text) {
  const std::string_view readable(text.c_str());
  const size_t semicolon = readable.rfind(';');
  return semicolon != std::string_view::npos && semicolon + 1 != readable.size();
}
}  // namespace

qxItemNode::qxItemNode() : qxNode(kItemImage, kItemImage) {}

void qxItemNode::ParseFields(const Vcon::String& name, const Vcon::String& second, const Vcon::String& text) {
  name_ = name;
  TextToInt(catalogIdentifier_, second);
  database_ = CatalogDatabases != nullptr ? CatalogDatabases->FindById(catalogIdentifier_) : nullptr;
  if (NamesText(text))
    text_ = NarrowFromWide(ResolveTextRef(WideFromString(text)));
  else
    text_.assign(text.c_str());
  if (database_ != nullptr)
    itemRecordId_ = database_->CatalogItemFile().FindRecordByKey(kItemIdField, name_.c_str());
}

void qxItemNode::AppendToItemList(CatalogItemList& list) const { list.Append(database_, itemRecordId_); }

Vcon::WString qxItemNode::DisplayText() const { return WideFromString(text_); }
