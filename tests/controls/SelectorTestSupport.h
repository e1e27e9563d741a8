// What the selector tests share: a selector query over a list of numbered items whose writes go on a
// done stack that UndoLast takes back, as a target's undo history does, and a panel with a popup
// selector between two plain rows.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ControlsTestSupport.h"
#include "controls/ppPopupSelector.h"
#include "framework/ppSelectorQuery.h"

namespace ctltest {

class ListQuery : public ppSelectorQuery {
 public:
  explicit ListQuery(int32_t count, ppParameter value = {}) : count_(count), value_(std::move(value)) {}
  void SetValue(const ppParameter& value, bool notify) override {
    done.push_back(value_);
    notifies.push_back(notify);
    value_ = value;
    if (onWrite) onWrite();
  }
  void GetValue(ppParameter& out) override {
    if (value_.Type() != ppParameter::kNone) out = value_;
  }
  Vcon::String GetName() override { return "Option"; }
  int32_t GetItemCount() override { return count_; }
  // Item i is 100 + i, numbered i + 1, named "Item i".
  void GetColumn1(int32_t item, ppParameter& out) override { out = ppParameter(100 + item); }
  void GetColumn2(int32_t item, ppParameter& out) override { out = ppParameter(item + 1); }
  void GetColumn3(int32_t item, ppParameter& out) override {
    out.SetString(("Item " + std::to_string(item)).c_str());
  }
  void GetColumn4(int32_t, ppParameter& out) override { out = ppParameter(); }
  void UndoLast() override {
    if (done.empty()) return;
    value_ = done.back();
    done.pop_back();
    ++undos;
  }
  int32_t Value() const { return value_.Type() == ppParameter::kNone ? -1 : value_.ToLong(); }

  std::vector<ppParameter> done;  // the old values, newest last
  std::vector<bool> notifies;
  int32_t undos = 0;
  std::function<void()> onWrite;

 private:
  int32_t count_;
  ppParameter value_;
};

}  // namespace ctltest
