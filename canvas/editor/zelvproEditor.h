// The scrolling frame of the room-design area: a horizontal ruler along the top, a vertical ruler
// down the left, the corner square where they meet, optional scroll bars (the application record's
// flags1 bit 0x10000000) and in the middle the editor scroller with the plan canvases. It applies
// the layer palette's plan scale (millimetres per pixel) to the scroll range, the scroll position and
// the rulers, and passes view switches on to the scroller.
//
// Geometry (pixels, local): the content lies 20 in from the left and top (an 18-pixel ruler and two
// 1-pixel separators) and 1 up from the bottom, less 18 for each scroll bar.
//
// The editor is the plan editor the three canvases ask (iPlanEditor): it sets itself on them and
// clears itself before it goes. Its rulers, corner square and scroller are subviews (owned). The most
// recently made editor is published as Current(), cleared when it goes. User-interface thread only.
#pragma once

#include <cstdint>

#include "canvas/editor/iViewBarEditor.h"
#include "elements/base/iPlanEditor.h"
#include "framework/ppScrollPane.h"

class zelvDatabase;
class zelvproEditorScroller;
class zelvproRuler;

class zelvproEditor : public ppScrollPane, public iPlanEditor, public iViewBarEditor {
 public:
  static constexpr int32_t kRulerSize = 18;
  // Ruler and two separator lines.
  static constexpr int32_t kContentInset = 20;
  static constexpr int32_t kExtent = 10000;  // pixels at zoom 1
  static constexpr float kStartZoom = 10.0f;
  // The application record's flags1 bit for the scroll bars.
  static constexpr uint32_t kScrollBarsFlag = 0x10000000;
  static constexpr int32_t kFramePicture = 1101;

  // `database` is handed to the canvases (may be null).
  zelvproEditor(ppView* supervisor, const plat::RECT& frame, zelvDatabase* database = nullptr);
  ~zelvproEditor() override;

  static zelvproEditor* Current();

  void Layout() override;
  void DrawContent(ppDC& dc) override;
  void KeyDown(signed char key, int32_t flags) override;
  // The scroll bars' commands (401, 402), 2012 and 3059 go to the scroller; anything else up to the
  // supervisor (the scroller sends up what it does not answer, so nothing comes back down).
  void DoCommand(int32_t command, intptr_t parameter) override;

  // Applies the layer palette's scale: the canvases' frames are updated, the scroll position keeps
  // the same plan point at the left and top edge, the scroll range and the rulers follow.
  void ApplyZoom() override;
  // The rulers pass a deselect to their subviews (they have none: nothing changes on screen).
  void RefreshRulers() override;
  // Called by the view bar on every view switch; `previous` is not used.
  void ChangeViewMode(int32_t previous, int32_t next) override;
  // The plan views' key target is the editor itself.
  ppEventHandler* CommandTarget() override { return this; }

  // ---- iPlanEditor: the rulers' zero point, millimetres, truncated.
  int32_t HorizontalRulerOrigin() override;
  int32_t VerticalRulerOrigin() override;
  void Invalidate() override { ppScrollPane::Invalidate(); }

  zelvproRuler* HorizontalRuler() const { return horizontalRuler_; }
  zelvproRuler* VerticalRuler() const { return verticalRuler_; }
  zelvproEditorScroller* EditorScroller() const { return scroller_; }
  ppView* CornerPane() const { return corner_; }
  // Local coordinates.
  const plat::RECT& EditorContentRect() const { return content_; }
  float Zoom() const { return zoom_; }

 private:
  // The canvases of the scroller that ask this editor.
  void SetOnCanvases(iPlanEditor* editor);

  zelvproRuler* horizontalRuler_ = nullptr;    // owned as a subview
  zelvproRuler* verticalRuler_ = nullptr;      // owned as a subview
  float zoom_ = kStartZoom;                    // the scale applied last, millimetres per pixel
  zelvproEditorScroller* scroller_ = nullptr;  // owned as a subview (the pane's content view)
  ppView* corner_ = nullptr;                   // owned as a subview
  plat::RECT content_{};
};
