// The application's logo (frame picture 2000 of the skin) in an area of a window: vertically centred
// and pushed to the area's right edge, or to its left edge when the application's settings ask for
// the left-side arrangement (flags1 kStayingConfiguratorPane). Its size and place are decided once,
// at creation; later resizes move it by its binding. The picture belongs to the application.
// User-interface thread only.
#pragma once

#include <cstdint>

#include "framework/ppView.h"

class zelvproLogoPane : public ppView {
 public:
  static constexpr int32_t kLogoPicture = 2000;

  // `area` in the supervisor's coordinates. Without a logo the pane takes the whole area.
  zelvproLogoPane(ppView* supervisor, const plat::RECT& area);

  void DrawContent(ppDC& dc) override;
};
