// One page of a configurator: stacks its fields vertically in the order they were added, gives them
// the room they ask for, scrolls them by 20 pixels per click on its arrows when they do not fit, and
// keeps a focus ring of its input fields that Tab and Return walk (Shift: backwards). Its caption,
// the text of its tab, is its view name (ppView::SetName). The fields are its subviews; the field
// list and the ring only link them. User-interface thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "controls/ppField.h"

class ppInputField;

class ppConfigPanel : public ppField {
 public:
  // Pixels a click on an arrow scrolls.
  static constexpr int32_t kScrollStep = 20;

  explicit ppConfigPanel(ppView* configurator);

  // ---- Panel operations.
  virtual void Layout();
  virtual void AddField(ppField* field);
  // Gives the focus to the current ring field, the first one when none is current.
  virtual void FocusFirst();

  // ---- Field operations.
  void RequestLayout() override;
  void GetPanelFrame(plat::RECT* frame) override;
  void AddFocusable(ppField* field) override;
  ppField* FocusNext(ppField* from) override;
  ppField* FocusPrevious(ppField* from) override;
  void SetFocusTo(ppField* field) override;
  ppField* GetFocusedField() override;

  // ---- View operations.
  void KeyDown(signed char key, int32_t flags) override;
  std::unique_ptr<ppRegion> GetVisibleRegion() override;
  std::unique_ptr<ppRegion> GetFrameRegion() override;
  void DrawContent(ppDC& dc) override;
  bool IsDoubleClick(int32_t x, int32_t y) override;

  // The caption (the tab's text).
  const Vcon::WString& Caption() const { return ViewName(); }
  ppField* FirstField() const { return firstField_; }
  int32_t ScrollOffset() const { return scrollOffset_; }
  bool IsScrolling() const { return scrolling_; }
  int32_t ContentEnd() const { return contentEnd_; }
  size_t RingSize() const { return ring_.size(); }

 private:
  // Whether the configurator shows a row of tabs above the panel.
  bool HasTabRow();
  // The configurator's frame in window coordinates, its top moved down by `tabRowDrop` when there is a
  // tab row; the panel's own frame while it has no configurator.
  plat::RECT HostWindowFrame(int32_t tabRowDrop);
  int32_t PlaceFields();
  void Lose();
  void Take();

  ppField* firstField_ = nullptr;
  ppField* lastField_ = nullptr;
  std::vector<ppInputField*> ring_;  // the focus ring, in the order fields joined it
  int32_t current_ = -1;             // index into ring_; -1 when none is current
  int32_t contentEnd_ = 0;           // the next field's top after the last, panel pixels
  int32_t scrollOffset_ = 0;         // 0 or negative
  bool scrolling_ = false;
};
