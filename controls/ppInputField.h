// The base of the fields that take keyboard input (edit text, colour, popup choice): a caption in a
// column at the left, and the focus-ring operations of the panel. The value area right of the
// column belongs to the subclass. User-interface thread only.
#pragma once

#include <cstdint>
#include <string>

#include "controls/ppField.h"
#include "foundation/VconString.h"

class ppInputField : public ppField {
 public:
  ppInputField(ppView* parent, ppDataUnit* unit, const std::string& names);

  // ---- Input operations.
  // Takes over pending input; true when nothing was refused.
  virtual bool CommitInput() { return true; }
  // Lays the field out again (at top 0); the panel's next pass places it in its row.
  virtual void ColumnWidthChanged(int32_t width);
  virtual bool IsFocusable() { return IsShown(); }
  virtual void TakeFocus() {}
  virtual void LoseFocus() {}

  void DrawContent(ppDC& dc) override;
  bool IsDoubleClick(int32_t x, int32_t y) override;

  // The caption from `text` (a text reference, which may carry its text number after the last ';'),
  // replaced by the text of `textId` in the current language when that is not 0; then measured.
  void SetText(const Vcon::WString& text, int32_t textId);
  // The least width of the caption column, pixels.
  void SetColumnWidth(int32_t width);
  void SetIndent(int32_t indent) { indent_ = indent; }
  int32_t CaptionIndent() const { return indent_; }

  const Vcon::WString& Caption() const { return caption_; }
  // The measured caption plus 5 pixels.
  int32_t CaptionWidth() const { return captionWidth_; }
  int32_t ColumnWidth() const { return columnWidth_; }
  // The width the caption column takes: the caption's or the least width, whichever is larger.
  int32_t CaptionColumn() const { return captionWidth_ > columnWidth_ ? captionWidth_ : columnWidth_; }

 protected:
  uint8_t flags1_ = 0;  // for the subclasses
  uint8_t flags2_ = 0;

 private:
  void MeasureCaption();

  Vcon::WString caption_;
  int32_t captionWidth_ = 0;
  int32_t columnWidth_ = 0;
  int32_t indent_ = 0;
};
