// The named-property interface: any object that shows a numbered set of named properties whose
// values are typed values, and, when it holds several items (records, elements, lines), a current
// item that can be moved. Properties are found by name and read and set by index.
//
// Index conventions: 0 to count - 1 are the object's properties; kNoProperty (-1) means "no such
// property"; kThis (-10000) is the object itself; kBeginEdit (-100) and kEndEdit (-101) bracket
// undoable edits. An object that overrides neither IndexOf nor GetValue answers "this" through the
// defaults below.
//
// Declared in the global namespace: foundation/ppParameter.h forward-declares it there for its link
// and complex values.
#pragma once

#include <cstdint>

#include "foundation/VconString.h"
#include "foundation/ppParameter.h"

class iProperty {
 public:
  static constexpr int32_t kNoProperty = -1;
  static constexpr int32_t kThis = -10000;
  static constexpr int32_t kBeginEdit = -100;
  static constexpr int32_t kEndEdit = -101;

  iProperty() = default;
  virtual ~iProperty() = default;
  iProperty(const iProperty&) = delete;
  iProperty& operator=(const iProperty&) = delete;

  // "this" -> kThis; anything else -> kNoProperty.
  virtual int32_t IndexOf(const Vcon::String& name);
  // The empty text.
  virtual void GetPropertyName(Vcon::String& out, int32_t index);
  virtual int32_t GetPropertyCount();
  // kThis gives a link value holding this object; any other index an empty value.
  virtual ppParameter GetValue(int32_t index);
  virtual void SetValue(int32_t index, const ppParameter& value);
  // Select(0, 2, -9000000000.0, -9000000000.0, '#'): every item.
  virtual void SelectAllItems();
  virtual void Select(int32_t index, int32_t comparison, const ppParameter& value1, const ppParameter& value2,
                      char combine);
  virtual void GoToItem(int32_t i);
  virtual int32_t GetCurrentItem();
  virtual int32_t GetItemCount();
  virtual void InsertItem(int32_t n);
  virtual void DeleteItem();
  virtual void BeginChange();
  virtual void EndChange();
  virtual void InsertItemNotified(bool notify);
  virtual void InsertItemsNotified(int32_t n, bool notify);
  virtual void DeleteItemNotified(bool notify);

  // Conveniences over the operations above.
  Vcon::String NameAt(int32_t index);
  ppParameter GetValueAt(int32_t index) { return GetValue(index); }
  // An undefined name reads index -1, which gives an empty value.
  ppParameter GetValueByName(const Vcon::String& name) { return GetValue(IndexOf(name)); }
  void SetValueAt(int32_t index, const ppParameter& value, bool notify);
  void SetValueByName(const Vcon::String& name, const ppParameter& value, bool notify) {
    SetValueAt(IndexOf(name), value, notify);
  }
  void GoTo(int32_t i) { GoToItem(i); }
  int32_t CountItems() { return GetItemCount(); }
};
