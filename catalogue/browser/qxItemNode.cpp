#include "catalogue/browser/qxItemNode.h"

#include "catalogue/browser/CatalogItemList.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproCatalogItemFil.h"
#include "foundation/LocaleNumbers.h"
#include "foundation/TextReference.h"

namespace {
constexpr int32_t kItemIdField = 0;  // "ID" of a catalogue item, the first field of its layout
}

qxItemNode::qxItemNode() : qxNode(kItemImage, kItemImage) {}

void qxItemNode::ParseFields(const Vcon::String& name, const Vcon::String& second, const Vcon::String& text) {
  name_ = name;
  TextToInt(catalogIdentifier_, second);
  database_ = CatalogDatabases != nullptr ? CatalogDatabases->FindById(catalogIdentifier_) : nullptr;
  text_ = NarrowFromWide(ResolveTextRef(WideFromString(text)));
  if (database_ != nullptr)
    itemRecordId_ = database_->CatalogItemFile().FindRecordByKey(kItemIdField, name_.c_str());
}

void qxItemNode::AppendToItemList(CatalogItemList& list) const { list.Append(database_, itemRecordId_); }

Vcon::WString qxItemNode::DisplayText() const { return WideFromString(text_); }
