// The data unit of a popup selector bound to one named property of an object. It lists the items
// of a list source (usually a table view) and shows each through up to four column paths, for
// example "dbId", "tnumber", "tname" and "preview.preview": the record id, number, name and
// picture of each record. Every set is undoable when the object has an undo history.
//
// Columns: column 1 reads the first path, column 2 the third, column 3 the fourth and column 4 the
// second. Without a locator, or for an item the list source does not hold, column 1 shows the item
// number and the others the empty text.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "database/iProperty.h"
#include "database/ppLocator.h"
#include "framework/ppPropertyBinding.h"
#include "framework/ppSelectorQuery.h"

class ppPropertySelectorQuery : public ppSelectorQuery {
 public:
  // `target` may be null and is not owned. `listSource` may be null; the query owns and deletes it.
  // An empty path gives no locator.
  ppPropertySelectorQuery(iProperty* target, const Vcon::String& name, iProperty* listSource,
                          const Vcon::String& path1, const Vcon::String& path2, const Vcon::String& path3,
                          const Vcon::String& path4);
  ~ppPropertySelectorQuery() override;

  void SetValue(const ppParameter& value, bool notify) override { binding_.SetValue(value, notify); }
  void GetValue(ppParameter& out) override { binding_.GetValue(out); }
  void GetTargetName(ppParameter& out) override { binding_.GetTargetName(out); }
  Vcon::String GetName() override { return binding_.Name(); }

  int32_t GetItemCount() override;
  void GetColumn1(int32_t item, ppParameter& out) override;
  void GetColumn2(int32_t item, ppParameter& out) override;
  void GetColumn3(int32_t item, ppParameter& out) override;
  void GetColumn4(int32_t item, ppParameter& out) override;
  void UndoLast() override { binding_.UndoLast(); }

  const ppPropertyBinding& Binding() const { return binding_; }
  iProperty* ListSource() const { return listSource_.get(); }
  // The locator of constructor path k (1 to 4), or null.
  ppLocator* LocatorOfPath(int32_t k) const { return locators_.at(size_t(k - 1)).get(); }

 private:
  // The value of path k's locator on `item`; false without a locator, list source or item.
  bool ReadPath(int32_t k, int32_t item, ppParameter& out);
  void ReadTextColumn(int32_t k, int32_t item, ppParameter& out);

  ppPropertyBinding binding_;
  std::unique_ptr<iProperty> listSource_;
  std::array<std::unique_ptr<ppLocator>, 4> locators_;
};
