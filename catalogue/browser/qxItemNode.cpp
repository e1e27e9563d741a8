#include "catalogue/browser/qxItemNode.h"

#include <string>
#include <string_view>

#include "catalogue/browser/CatalogItemList.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproCatalogItemFil.h"
#include "foundation/LocaleNumbers.h"
#include "foundation/TextReference.h"

namespace {
constexpr int32_t kItemIdField = 0;  // "ID" of a catalogue item, the first field of its layout

// Whether the text ends in ";number", which ResolveTextRef looks up. Any other text comes back from
// it unchanged, and every narrow byte survives the way to wide and back: such a text is kept as it
// is, unconverted. (A field holds no NUL: the text it comes from ends at the first.)
bool NamesText(std::string_view text) {
  const size_t semicolon = text.rfind(';');
  return semicolon != std::string_view::npos && semicolon + 1 != text.size();
}

// The number TextToInt reads from `text`; a field's few bytes are copied to the stack for it rather
// than to the heap.
int32_t NumberOf(std::string_view text) {
  int32_t value = 0;
  char copy[64];
  if (text.size() < sizeof copy) {
    text.copy(copy, text.size());
    copy[text.size()] = '\0';
    TextToInt(value, copy);
  } else {
    std::string longer(text);
    TextToInt(value, longer.data());
  }
  return value;
}
}  // namespace

qxItemNode::qxItemNode() : qxNode(kItemImage, kItemImage) {}

void qxItemNode::ParseFields(std::string_view name, std::string_view second, std::string_view text) {
  name_.assign(name);
  catalogIdentifier_ = NumberOf(second);
  database_ = CatalogDatabases != nullptr ? CatalogDatabases->FindById(catalogIdentifier_) : nullptr;
  if (NamesText(text))
    text_ = NarrowFromWide(ResolveTextRef(WideFromString(Vcon::String(text.data(), text.size()))));
  else
    text_.assign(text);
  if (database_ != nullptr)
    itemRecordId_ = database_->CatalogItemFile().FindRecordByKey(kItemIdField, name_.c_str());
}

void qxItemNode::AppendToItemList(CatalogItemList& list) const { list.Append(database_, itemRecordId_); }

Vcon::WString qxItemNode::DisplayText() const { return WideFromString(text_); }
