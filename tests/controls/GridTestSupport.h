// What the grid tests share: an in-memory row source (one map of named texts per item, new items
// inserted after the current one as record files do), a collaborator that records what it hears
// on a switchboard, and a window fixture that builds grids on the test window.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "ControlsTestSupport.h"
#include "controls/ppGrid.h"
#include "controls/ppGridScroller.h"
#include "database/iProperty.h"
#include "framework/ppCollaborator.h"

namespace gridtest {

class MemorySource : public iProperty {
 public:
  explicit MemorySource(std::vector<std::string> names, int32_t rows = 0) : names_(std::move(names)) {
    for (int32_t r = 0; r < rows; ++r) {
      items_.emplace_back();
      for (size_t c = 0; c < names_.size(); ++c) items_.back()[names_[c]] = names_[c] + std::to_string(r);
    }
  }
  int32_t IndexOf(const Vcon::String& name) override {
    for (size_t i = 0; i < names_.size(); ++i) {
      if (names_[i] == name) return int32_t(i);
    }
    return kNoProperty;
  }
  void GetPropertyName(Vcon::String& out, int32_t index) override {
    out = index >= 0 && index < int32_t(names_.size()) ? Vcon::String(names_[size_t(index)].c_str())
                                                       : Vcon::String();
  }
  int32_t GetPropertyCount() override { return int32_t(names_.size()); }
  ppParameter GetValue(int32_t index) override {
    if (index < 0 || index >= int32_t(names_.size()) || current_ < 0 || current_ >= int32_t(items_.size()))
      return {};
    auto found = items_[size_t(current_)].find(names_[size_t(index)]);
    return found == items_[size_t(current_)].end() ? ppParameter() : ppParameter(found->second.c_str());
  }
  void SetValue(int32_t index, const ppParameter& value) override {
    if (index < 0 || index >= int32_t(names_.size()) || current_ < 0 || current_ >= int32_t(items_.size()))
      return;
    items_[size_t(current_)][names_[size_t(index)]] = value.AsString();
    ++writes;
  }
  void GoToItem(int32_t i) override { current_ = i; }
  int32_t GetCurrentItem() override { return current_; }
  int32_t GetItemCount() override { return int32_t(items_.size()); }
  void InsertItem(int32_t) override {
    const size_t at = items_.empty() ? 0 : size_t(std::min<int32_t>(current_ + 1, int32_t(items_.size())));
    items_.insert(items_.begin() + long(at), std::map<std::string, std::string>());
    current_ = int32_t(at);
    ++inserts;
  }
  void BeginChange() override { ++changes; }

  std::string Text(int32_t row, const std::string& name) const {
    auto found = items_[size_t(row)].find(name);
    return found == items_[size_t(row)].end() ? std::string() : found->second;
  }
  int32_t writes = 0, inserts = 0, changes = 0;

 private:
  std::vector<std::string> names_;
  std::vector<std::map<std::string, std::string>> items_;
  int32_t current_ = 0;
};

// Hears every channel and id of the board it is made on.
class Recorder : public ppCollaborator {
 public:
  explicit Recorder(ppSwitchBoard* board) : ppCollaborator(board) { Subscribe(-1, -1); }
  void ReceiveMessage(ppCollaborator*, int32_t channel, int32_t id, intptr_t parameter) override {
    heard.emplace_back(channel, id, parameter);
  }
  std::vector<int32_t> Ids() const {
    std::vector<int32_t> ids;
    for (const auto& h : heard) {
      if (std::get<0>(h) == ppGridScroller::kChannel) ids.push_back(std::get<1>(h));
    }
    return ids;
  }
  std::vector<std::tuple<int32_t, int32_t, intptr_t>> heard;
};

struct ColumnPlan {
  const char* name;
  int32_t width;
  bool skipped = false;
  ppValidator* validator = nullptr;
};

class GridWindowTest : public ctltest::WindowTest {
 protected:
  // A grid on the test window in the set-up order callers use. The grid is a subview of the window.
  ppGrid* MakeGrid(const plat::RECT& frame, iProperty* source, uint32_t style,
                   const std::vector<ColumnPlan>& columns, int32_t lineHeight = 20, int32_t hStep = 10,
                   int32_t vStep = 10, uint32_t bars = 0) {
    auto* grid = new ppGrid(window_, frame);
    grid->SetDataSource(source);
    grid->AddStyleFlags(style);
    grid->SetLineHeight(lineHeight);
    grid->SetScrollSteps(hStep, vStep);
    for (const ColumnPlan& plan : columns) {
      ppGridColumn column(grid, plan.name, plan.width, 0, plan.validator);
      if (plan.skipped) column.SetFlags(ppGridColumn::kSkip);
      grid->AddColumn(column);
    }
    grid->UpdateLayout();
    grid->SetCellMargins(5, 2, 10, 3);
    grid->SetScrollBars(bars);
    return grid;
  }
  void Paint() {
    window_->Invalidate();
    plat::HeadlessDriver::RunUntilIdle();
  }
  uint32_t PixelAt(int32_t x, int32_t y) { return plat::GetWindowSurface(hwnd_)->Pixel(x, y) & 0xFFFFFF; }
  static std::pair<int32_t, int32_t> Selection(ppGrid* grid) {
    return {grid->Body()->SelectedColumn(), grid->Body()->SelectedRow()};
  }
};

}  // namespace gridtest
