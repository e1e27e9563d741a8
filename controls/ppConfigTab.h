// The tab of one configurator panel: a 16-pixel-high slanted tab in the configurator's tab row,
// as wide as the panel's caption plus 10 pixels, that selects its panel when clicked (command 21001
// to the configurator). Hidden in a single-page configurator: no room, nothing drawn. The
// configurator owns the tab and its panel; the tab's supervisor is the configurator.
// User-interface thread only.
#pragma once

#include <cstdint>

#include "framework/ppView.h"

class ppConfigPanel;
class ppConfigurator;

class ppConfigTab : public ppView {
 public:
  static constexpr int32_t kSelectCommand = 21001;
  static constexpr int32_t kHeight = 16;
  static constexpr int32_t kGap = 3;  // pixels between neighbouring tabs

  // Selected at construction (the configurator's first selection clears it).
  ppConfigTab(ppConfigurator* configurator, ppConfigPanel* panel, bool hidden);

  // Takes its frame with the top-left at `position` (configurator pixels) and moves the position to
  // where the next tab starts; a hidden tab takes the empty frame and leaves the position alone.
  void Place(plat::POINT* position);
  // The caption's width in the default font plus 10 pixels; 0 when hidden.
  int32_t TabWidth();

  void DrawContent(ppDC& dc) override;
  std::unique_ptr<ppRegion> GetFrameRegion() override;
  bool IsDoubleClick(int32_t x, int32_t y) override;

  ppConfigPanel* Panel() const { return panel_; }
  // The configurator takes the panel back when it retires it separately.
  void ForgetPanel() { panel_ = nullptr; }
  bool IsSelected() const { return selected_; }
  void SetSelected(bool selected) { selected_ = selected; }
  bool IsHidden() const { return hidden_; }
  // True while the tab's own click runs.
  bool IsBusy() const { return busy_ > 0; }

 private:
  ppConfigurator* configurator_;
  ppConfigPanel* panel_;
  bool selected_ = true;
  bool hidden_;
  int32_t busy_ = 0;
};
