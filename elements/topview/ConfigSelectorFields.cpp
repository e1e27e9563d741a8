#include "elements/topview/ConfigSelectorFields.h"

#include "controls/ppConfigPanel.h"
#include "controls/ppPopupSelector.h"
#include "controls/ppRGBColorField.h"
#include "database/ppDatafile.h"
#include "framework/ppPropertyDataUnit.h"
#include "framework/ppPropertySelectorQuery.h"

namespace {

// The row's list as the query's list source, which the query deletes: every operation goes to the
// list, which stays with the row.
class BorrowedList : public iProperty {
 public:
  explicit BorrowedList(iProperty* list) : list_(list) {}
  int32_t IndexOf(const Vcon::String& name) override { return list_->IndexOf(name); }
  void GetPropertyName(Vcon::String& out, int32_t index) override { list_->GetPropertyName(out, index); }
  int32_t GetPropertyCount() override { return list_->GetPropertyCount(); }
  ppParameter GetValue(int32_t index) override { return list_->GetValue(index); }
  void SetValue(int32_t index, const ppParameter& value) override { list_->SetValue(index, value); }
  void SelectAllItems() override { list_->SelectAllItems(); }
  void Select(int32_t index, int32_t comparison, const ppParameter& value1, const ppParameter& value2,
              char combine) override {
    list_->Select(index, comparison, value1, value2, combine);
  }
  void GoToItem(int32_t i) override { list_->GoToItem(i); }
  int32_t GetCurrentItem() override { return list_->GetCurrentItem(); }
  int32_t GetItemCount() override { return list_->GetItemCount(); }
  void InsertItem(int32_t n) override { list_->InsertItem(n); }
  void DeleteItem() override { list_->DeleteItem(); }
  void BeginChange() override { list_->BeginChange(); }
  void EndChange() override { list_->EndChange(); }
  void InsertItemNotified(bool notify) override { list_->InsertItemNotified(notify); }
  void InsertItemsNotified(int32_t n, bool notify) override { list_->InsertItemsNotified(n, notify); }
  void DeleteItemNotified(bool notify) override { list_->DeleteItemNotified(notify); }

 private:
  iProperty* list_;
};

Vcon::String Column(const ConfigField& row, size_t k) {
  return k < row.columns.size() ? row.columns[k] : Vcon::String();
}

}  // namespace

ppField* MakeSelectorRowField(ppConfigPanel* panel, const ConfigField& row) {
  if (row.kind == ConfigField::kColour) {
    auto* field = new ppRGBColorField(panel, new ppPropertyDataUnit(row.target, row.property, row.undoable),
                                      std::string());
    field->SetText(row.text, 0);
    if (row.columnWidth > 0) field->SetColumnWidth(row.columnWidth);
    return field;
  }
  if (row.kind != ConfigField::kSelector) return nullptr;
  iProperty* list = row.list ? new BorrowedList(row.list.get()) : nullptr;
  auto* query = new ppPropertySelectorQuery(row.target, row.property, list, Column(row, 0), Column(row, 1),
                                            Column(row, 2), Column(row, 3));
  // The row's constructor words match the field's by position: text lines, caption above, notify,
  // select first, large picture.
  auto* field = new ppPopupSelector(panel, query, row.text, row.rows, row.pictureFlag != 0,
                                    row.optionFlag != 0, row.unitFlag != 0, row.compactFlag != 0);
  if (row.listRows != 0) field->SetListRows(row.listRows);
  if (row.noPictureInList) field->SetNoListPicture(true);
  if (row.columnWidth > 0) field->SetColumnWidth(row.columnWidth);
  return field;
}
