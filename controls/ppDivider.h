// A separator between groups of configurator fields: a one-pixel black line across the panel, or a
// band framed by a frame picture of the application. It holds no value. User-interface thread only.
#pragma once

#include <cstdint>

#include "controls/ppField.h"

class ppDivider : public ppField {
 public:
  // A line, 1 pixel high.
  explicit ppDivider(ppView* parent);
  // A band 3 pixels high framed by the application's frame picture `framePicture`.
  ppDivider(ppView* parent, int32_t framePicture);

  // Pixels; 1 draws a line, any other height draws nothing of its own.
  virtual void SetHeight(int32_t height) { height_ = height; }
  int32_t DividerHeight() const { return height_; }

  int32_t LayoutAt(int32_t top) override;
  void DrawContent(ppDC& dc) override;

 private:
  int32_t height_ = 1;
};
