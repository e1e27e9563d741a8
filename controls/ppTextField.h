// A read-only line of a configurator panel: a caption, a hint or a computed value, word-wrapped
// across the panel's width. With a data unit it shows the unit's current value as text; otherwise the
// text it was given. It takes no keyboard focus and never writes a value. User-interface thread only.
#pragma once

#include <cstdint>

#include "controls/ppField.h"
#include "foundation/VconString.h"
#include "framework/ColorConversion.h"

class ppTextField : public ppField {
 public:
  // `unit` (may be null) passes to the field.
  ppTextField(ppView* parent, ppDataUnit* unit);

  // `text`, replaced by the text of `textId` in the current language when that is not 0 and has
  // one. Neither lays out nor redraws.
  void SetText(const Vcon::WString& text, int32_t textId);
  const Vcon::WString& Text() const { return text_; }
  void SetTextColor(const ppRGBColor& percent) { colour_ = percent; }

  // An empty or hidden text takes no height and keeps its frame.
  int32_t LayoutAt(int32_t top) override;
  void DrawContent(ppDC& dc) override;
  // The value is read at every layout and drawing; a broadcast alone redraws nothing.
  void Refresh(int32_t, int32_t, ppCollaborator*, intptr_t) override {}

 private:
  void RefreshText();
  // The height of the text wrapped in `box` (pixels, the field's window or a memory context).
  int32_t MeasureHeight(plat::RECT box);

  Vcon::WString text_;
  int32_t fontHeight_;
  ppRGBColor colour_{0, 0, 0};  // percent
};
