// What the controls tests share: a data unit holding one named value, a row field of fixed height
// that counts its redraws and focus changes, a window with a test application, and a builder of
// configurators from (caption, field names) lists.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "controls/ControlsDrawing.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigurator.h"
#include "controls/ppInputField.h"
#include "framework/AdornerTestPictures.h"
#include "framework/ppDataUnit.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppSwitchBoard.h"
#include "framework/ppWindow.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/Surface.h"
#include "platform/WindowApi.h"

namespace ctltest {

// One value under one name; reads leave the output alone while the value is empty.
class ValueUnit : public ppDataUnit {
 public:
  explicit ValueUnit(std::string name, ppParameter value = {})
      : name_(std::move(name)), value_(std::move(value)) {}
  void SetValue(const ppParameter& value, bool) override {
    value_ = value;
    ++writes;
  }
  void GetValue(ppParameter& out) override {
    if (value_.Type() != ppParameter::kNone) out = value_;
  }
  Vcon::String GetName() override { return Vcon::String(name_.c_str()); }
  // Changes the value behind the field's back (another field's edit).
  void Store(const ppParameter& value) { value_ = value; }
  int32_t writes = 0;

 private:
  std::string name_;
  ppParameter value_;
};

// An input field `height` pixels high across its panel.
class Row : public ppInputField {
 public:
  Row(ppView* parent, ppDataUnit* unit, const std::string& names = {}, int32_t height = 20)
      : ppInputField(parent, unit, names), height_(height) {}
  int32_t LayoutAt(int32_t top) override {
    const int32_t width = Owner() != nullptr ? Owner()->Width() : 100;
    const int32_t* m = Margins();
    SetFrame({m[0], top + m[1], width - m[2], top + m[1] + height_});
    return top + m[1] + height_ + m[3];
  }
  void Invalidate() override {
    ++invalidations;
    ppInputField::Invalidate();
  }
  void TakeFocus() override { ++takes; }
  void LoseFocus() override { ++losses; }
  int32_t invalidations = 0, takes = 0, losses = 0;

 private:
  int32_t height_;
};

// A plain field that takes no keyboard input (as a button or divider).
class Plain : public ppField {
 public:
  explicit Plain(ppView* parent) : ppField(parent, nullptr, std::string()) {}
  int32_t LayoutAt(int32_t top) override {
    SetFrame({0, top, 50, top + 10});
    return top + 10;
  }
};

struct PanelPlan {
  std::u16string caption;
  std::vector<std::string> fields;  // one row per name, bound to a ValueUnit of that name
};

// Fills `configurator` the way builders do: empty it, one panel per plan, place the tabs.
inline void Fill(ppConfigurator& configurator, const std::vector<PanelPlan>& plans, int32_t rowHeight = 20) {
  configurator.RemoveAll();
  for (const PanelPlan& plan : plans) {
    auto* panel = new ppConfigPanel(&configurator);
    panel->SetName(Vcon::WString(plan.caption));
    for (const std::string& name : plan.fields) {
      auto* row = new Row(panel, new ValueUnit(name, ppParameter(1)), {}, rowHeight);
      panel->AddField(row);
      panel->AddFocusable(row);
    }
    configurator.AddPanel(panel);
  }
  configurator.PlaceTabs();
  configurator.Invalidate();
}

inline Row* RowAt(ppConfigPanel* panel, int32_t index) {
  ppField* field = panel->FirstField();
  for (int32_t i = 0; i < index && field != nullptr; ++i) field = field->NextField();
  return dynamic_cast<Row*>(field);
}

// A headless desktop with a test application (colours by id) and a 300 x 400 window object.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    ppView::ResetClickPoint();
    app_ = std::make_unique<adorner_tests::TestApplication>();
    window_ = new ppWindow();
    hwnd_ = adorner_tests::MakeObjectWindow(window_, 300, 400);
    plat::SetFocus(hwnd_);
  }
  void TearDown() override {
    delete window_;
    ppPendingDeletions::DeleteAll();
    app_.reset();
    plat::HeadlessDriver::Reset();
  }
  void Click(int32_t x, int32_t y) {
    plat::Desktop::MouseButton(plat::VK_LBUTTON, true, {x, y});
    plat::Desktop::MouseButton(plat::VK_LBUTTON, false, {x, y});
    plat::HeadlessDriver::RunUntilIdle();
  }
  void Press(int32_t key) {
    plat::Desktop::Key(key, true);
    plat::Desktop::Key(key, false);
    plat::HeadlessDriver::RunUntilIdle();
  }
  int32_t CaptionWidth(const char16_t* caption) {
    return controls::MeasureDefaultText(Vcon::WString(caption), 10000, 100);
  }

  std::unique_ptr<adorner_tests::TestApplication> app_;
  ppWindow* window_ = nullptr;
  plat::HWND hwnd_ = nullptr;
};

}  // namespace ctltest
