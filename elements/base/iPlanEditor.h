// What the plan canvases ask of the plan editor pane that shows them: where its two rulers start
// (window pixels; they enter the plan/pixel conversion) and a repaint. The editor pane comes later
// and sets itself on its canvas; until then a canvas answers a neutral editor: rulers at (0, 0), a
// repaint that does nothing.
#pragma once

#include <cstdint>

class iPlanEditor {
 public:
  virtual ~iPlanEditor() = default;
  virtual int32_t HorizontalRulerOrigin() { return 0; }
  virtual int32_t VerticalRulerOrigin() { return 0; }
  virtual void Invalidate() {}

  // The stateless editor of a canvas that is shown in none.
  static iPlanEditor& Neutral() {
    static iPlanEditor neutral;
    return neutral;
  }
};
