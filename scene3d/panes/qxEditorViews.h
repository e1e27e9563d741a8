// The editor's views drawn off screen and its view modes: a view saved as a 24-bit BMP file, a view
// drawn onto a screen or printer context through a memory bitmap (at printer resolution on devices
// that stretch bitmaps), and the switch between the modes that show one or two plan views or the
// 3D view. User-interface thread.
#pragma once

#include <cstdint>

#include "foundation/VconString.h"

class iEditorScroller;
class ppDC;
class ppView;
class qx3DPane;
struct qxViewSettings;

class qxEditorViews {
 public:
  static constexpr int32_t kTwoPlans = 2004;
  static constexpr int32_t kPlanAnd3D = 2012;
  static constexpr int32_t kOnePlan = 2016;
  static constexpr int32_t kTwoPlansLinked = 2020;
  static constexpr int32_t k3DOnly = 2024;
  static constexpr int32_t kViewModeCommand = 3052;
  // Printer bitmaps are drawn at this many device pixels per zoom unit.
  static constexpr float kPrinterFactor = 7.143f;

  // Writes `view`'s picture (its frame's size) to `file`. False, with no file, when no bitmap could be
  // made. A file error of the file layer passes on (thrown) after everything made here is freed.
  // `pane` (may be null) is marked busy off screen meanwhile.
  static bool SaveViewAsBitmap(const Vcon::WString& file, ppView& view, qx3DPane* pane);

  // Draws the view `settings` describe onto `target` through a memory bitmap: copied 1:1 on a
  // screen context, stretched from printer resolution on a device with RC_STRETCHDIB.
  static void DrawViewThroughBitmap(iEditorScroller& scroller, ppDC& target, const qxViewSettings& settings,
                                    qx3DPane* pane);

  // Switches to `mode` (2004, 2012, 2016, 2020 or 2024); the current mode again changes nothing.
  static void SetViewMode(iEditorScroller& scroller, int32_t mode);
};
