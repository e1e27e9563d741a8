// The configurator field of a colour: a caption band over a swatch, and a button at the top right
// that opens the colour chooser. Its value is the colour word (see ColorCode.h: percent red, green
// and blue in the top three bytes); the chosen colour is written through the field's value path
// (undoable in the data unit, broadcast when it changed). Without a data unit the colour lives only
// in the field. User-interface thread only.
#pragma once

#include <cstdint>
#include <string>

#include "controls/ppInputField.h"
#include "framework/ColorConversion.h"

class ppButton;

class ppRGBColorField : public ppInputField {
 public:
  static constexpr int32_t kButtonPicture = 2265;
  // The field is at least this high (pixels), whatever its button's picture: the swatch, 19 pixels
  // above the bottom edge, then starts below the 17-pixel caption band instead of covering it.
  static constexpr int32_t kLeastHeight = 38;

  ppRGBColorField(ppView* parent, ppDataUnit* unit, const std::string& names);

  void DoCommand(int32_t command, intptr_t parameter) override;
  void DrawContent(ppDC& dc) override;
  // A click anywhere on the field presses the button.
  bool IsDoubleClick(int32_t x, int32_t y) override;
  void AddToolTips(uint32_t) override {}
  void RemoveToolTips() override {}
  int32_t LayoutAt(int32_t top) override;

  // Percent.
  const ppRGBColor& Color() const { return color_; }
  ppButton* Button() const { return button_; }

 private:
  void ReadColor();

  ppButton* button_;               // a subview
  ppRGBColor color_{100, 50, 50};  // percent
};
