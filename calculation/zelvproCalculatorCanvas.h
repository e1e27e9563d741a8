// The calculation canvas: the document window's view of the price list. It holds the price list pane
// at (10, 5, W - 30, H - 30), with flags1 kButtonBar the button bar at (300, H - 26, 504, H - 2), and,
// when the catalogues hold an extras database, an extras button (picture 3132, 30 pixels wide) right of
// the bar's place, which edits the document's extra calculation items ("calcItems"). Owns the three as
// subviews. User-interface thread only. The most recently made canvas is Current() until it goes.
//
// The document window makes it detached and hidden, and shows it for the calculation view:
// attach it to the window view, Show() it and call ShowConfigurator().
#pragma once

#include <cstdint>

#include "framework/ppView.h"

class ppButton;
class ppDatabase;
class zelvproCalculatorButtons;
class zelvproCalculatorList;

class zelvproCalculatorCanvas : public ppView {
 public:
  static constexpr uint32_t kButtonBar = 0x400;  // flags1
  static constexpr int32_t kExtrasPicture = 3132;
  static constexpr int32_t kConfiguratorName = 6315;

  // `frame`: supervisor coordinates; the canvas stretches with its supervisor.
  zelvproCalculatorCanvas(ppView* supervisor, const plat::RECT& frame, ppDatabase& database);
  ~zelvproCalculatorCanvas() override;

  static zelvproCalculatorCanvas* Current();

  // 5000 from the extras button runs the extras dialog; everything else goes to the pane.
  void DoCommand(int32_t command, intptr_t parameter) override;
  // The bar's tool tips follow the canvas: registered while it is shown, moved with a resize.
  void SupervisorResized(int32_t dx, int32_t dy) override;
  void Show() override;
  void Hide() override;
  // The configurator beside the price list: one empty panel named "Calculation" (text 6315).
  virtual void ShowConfigurator();
  // The document's extra items in the extras dialog, then a deferred rebuild of the price list.
  void RunExtrasDialog();

  zelvproCalculatorList* Pane() const { return pane_; }
  zelvproCalculatorButtons* Bar() const { return bar_; }
  ppButton* ExtrasButton() const { return extras_; }

 private:
  zelvproCalculatorList* pane_ = nullptr;    // subview
  zelvproCalculatorButtons* bar_ = nullptr;  // subview; null without the option
  ppButton* extras_ = nullptr;               // subview; null without an extras database
};
