// An "ITEM" entry of the catalogue browser: a catalogue item of one open catalogue database, named
// by its "ID" and that catalogue's identifier. Never shown in a tree; listed for the item picture
// list while its parent group is current. The record id is 0 when no item of the catalogue has the
// ID; the database is null when no open catalogue has the identifier (such an entry is dropped).
#pragma once

#include "catalogue/browser/qxNode.h"

class zelvDatabase;

class qxItemNode : public qxNode {
 public:
  qxItemNode();

  // Name = the item's ID; the second field is the catalogue identifier as decimal text; the text is
  // resolved in the current language and kept narrow.
  void ParseFields(std::string_view name, std::string_view second, std::string_view text) override;
  void AppendToItemList(CatalogItemList& list) const override;
  Vcon::WString DisplayText() const override;
  bool HasDisplayText() const override { return true; }
  bool IsItem() const override { return true; }

  int32_t CatalogIdentifier() const { return catalogIdentifier_; }
  zelvDatabase* Database() const { return database_; }

 private:
  int32_t catalogIdentifier_ = 0;
  zelvDatabase* database_ = nullptr;  // not owned
  Vcon::String text_;
};
