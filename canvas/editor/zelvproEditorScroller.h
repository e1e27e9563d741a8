// The scrolled middle of the plan editor: it owns the plan canvases of one document (the new-room
// canvas, the top canvas, which is also the program's main plan canvas, and a plain plan canvas for
// the item list and the 3D view) and shows them by its view mode:
//
//   2004, 2020  new-room and top canvas; keys to the top canvas, which takes the mouse-over
//   2016        new-room canvas alone; keys and mouse-over to it
//   2012, 2024  the plain plan canvas; nobody takes the mouse-over
//   2032        subviews unchanged; the extra view (set from outside) takes the mouse-over
//   2056        subviews unchanged; nobody takes the mouse-over
//
// The switch between 2004, 2012, 2016, 2020 and 2024 is qxEditorViews::SetViewMode's; 2032 and 2056
// are stored here. The editor's two rulers follow the scroller's scrolling and the mouse.
//
// Ownership: the three canvases are the scroller's; the rulers and the extra view are not. The most
// recently made scroller is published as Current() and its top canvas as MainCanvas(); both are
// cleared when it goes. User-interface thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/ppCollaborator.h"
#include "framework/ppScroller.h"
#include "scene3d/panes/iEditorScroller.h"

class iEditorListPrint;
class ppFileSpec;
class qxNewRoomCanvas;
struct qxPrintPage;
class zelvDatabase;
class zelvproCanvas;
class zelvproRuler;
class zelvproTopCanvas;

class zelvproEditorScroller : public ppScroller, public ppCollaborator, public iEditorScroller {
 public:
  // View modes beside qxEditorViews' own.
  static constexpr int32_t kExtraViewMode = 2032, kPlanPrintMode = 2056;
  static constexpr int32_t kPriceListMode = 2012, k3DMode = 2024;
  // 2012 reloads the display settings and refreshes the price list; 3059 (unit setting changed) goes
  // to both rulers.
  static constexpr int32_t kReloadCalculation = 2012, kUnitsChanged = 3059;
  // Switchboard: channel 1000 message 1000 has the target view build its information panel.
  static constexpr int32_t kInfoChannel = 1000, kInfoMessage = 1000;
  static constexpr int32_t kBackspace = 8, kDelete = 46;
  // The application record's flags2 bit: entering 2004 turns the top canvas's 3052 flag on.
  static constexpr uint32_t kPlanOptionFlag = 0x20;

  // Neither ruler is owned. `database` is handed to the canvases (may be null).
  zelvproEditorScroller(ppView* supervisor, const plat::RECT& frame, zelvproRuler* horizontal,
                        zelvproRuler* vertical, zelvDatabase* database = nullptr);
  ~zelvproEditorScroller() override;

  static zelvproEditorScroller* Current();
  // The top canvas of the current scroller; null when there is none.
  static zelvproTopCanvas* MainCanvas();

  // ---- Input.
  bool MouseOver(int32_t x, int32_t y, int32_t flags) override;
  // Backspace goes on as Delete, every other key unchanged, to the target view.
  void KeyDown(signed char key, int32_t flags) override;
  void DoCommand(int32_t command, intptr_t parameter) override;
  void MouseMove(int32_t x, int32_t y) override;
  bool MouseDown(int32_t x, int32_t y) override;
  void DrawContent(ppDC& /*dc*/) override {}
  // Scrolls the plan, then each ruler by the distance the plan really moved.
  void ScrollBy(int32_t dx, int32_t dy) override;
  void ReceiveMessage(ppCollaborator* sender, int32_t channel, int32_t id, intptr_t parameter) override;

  // ---- View modes.
  void SetViewMode(int32_t mode);
  int32_t ViewMode() const { return viewMode_; }
  // The view that takes the mouse-over in mode 2032. Not owned; null: none.
  void SetExtraView(ppView* view) { extraView_ = view; }

  // ---- Fitting the room.
  // The scale (millimetres per pixel, at least 1) that fits the room's bounds into the frame less 20
  // pixels on every side, and the scroll position (scroll units) that puts its top-left corner 10
  // pixels inside. A frame with no room left inside that margin answers the current scale and
  // position.
  float ComputeFitScale(plat::POINT* position);
  // Sets the layer palette's scale and the scroll position to fit the room and has the editor apply
  // the zoom. Nothing without a layer palette.
  void ZoomToFit();

  zelvproRuler* GetHorizontalRuler() const { return horizontalRuler_; }
  zelvproRuler* GetVerticalRuler() const { return verticalRuler_; }
  qxNewRoomCanvas* NewRoomCanvas() const { return newRoom_; }
  zelvproTopCanvas* TopCanvas() const { return top_; }
  zelvproCanvas* PlanCanvas() const { return plan_; }
  ppView* TargetView() const { return target_; }

  // ---- iEditorScroller: views 1, 2, 3 are the new-room, top and plan canvas.
  ppView* View(int32_t number) override;
  void DetachView(ppView* view) override;
  void InsertView(ppView* view) override;
  void SetKeyTarget(ppView* view) override;
  void SetCurrentView(ppView* view) override;
  void BroadcastRulers(ppView* view, int32_t flag) override;
  void Invalidate() override { ppScroller::Invalidate(); }
  bool PlanOption() override;
  int32_t CurrentMode() override { return viewMode_; }
  void SetCurrentMode(int32_t mode) override;
  // Prints the canvases the current mode shows (PrintViews) onto the bitmap `settings` describe: the
  // raster plan's bitmap pass (zelvproEditorScrollerPrint.cpp).
  void DrawView(ppDC& dc, const qxViewSettings& settings) override;

  // ---- Printing and the view bitmap (zelvproEditorScrollerPrint.cpp). Device pixels of the page.
  // The application record's flags2 bit that has the plan print also write the DXF dump.
  static constexpr uint32_t kDxfDumpFlag = 0x2000;
  // One physical page `pageNumber` (from 1) of the print job: the elevation series while the
  // elevation print is on, else what the view mode shows. Answers 1 while another page follows, else
  // 0; the document window's print job calls it once per page.
  int32_t Print(ppDC& dc, int32_t pageNumber) override;
  // The elevation print: every wall run on a page of its own, then the plan page. Set by the window
  // before a job (its print command), whatever the view mode.
  void SetElevationPrint(bool on) { elevationPrint_ = on; }
  bool ElevationPrint() const { return elevationPrint_; }
  // Who prints the price list in view 2012; not owned, null: that view prints nothing.
  void SetListPrint(iEditorListPrint* list) { listPrint_ = list; }
  // The canvases of the view mode onto a page laid out already (the raster plan's bitmap pass).
  void PrintViews(ppDC& dc, qxPrintPage& page);
  // The canvases of the view mode for the view bitmap.
  void PrintViewsToBitmap(ppDC& dc, qxPrintPage& page);
  // Writes the plan of the view mode (2004, 2020: both canvases, 2016: the new-room canvas) at 1:50
  // and 144 dpi as a 24-bit BMP file to `file.path`. False, with nothing written, for a view without
  // bounds (no element, or another mode), when no bitmap could be made or the file could not be
  // written; the 3D pane's busy flag is cleared on every path.
  bool SaveViewBitmap(ppFileSpec& file);

 private:
  // The plan of both canvases on one page (views 2004, 2020, 2056).
  void PrintPlan(ppDC& dc, qxPrintPage& top, qxPrintPage& room);
  // A canvas's print, and for the new-room canvas its room outline when the page prints content.
  void PrintCanvas(zelvproCanvas& canvas, ppDC& dc, qxPrintPage& page);
  bool elevationPrint_ = false;
  iEditorListPrint* listPrint_ = nullptr;  // not owned
  // The page the raster plan is printing while its bitmap is drawn (DrawView reads it); null else.
  const qxPrintPage* rasterPage_ = nullptr;

  zelvproRuler* horizontalRuler_;       // not owned
  zelvproRuler* verticalRuler_;         // not owned
  qxNewRoomCanvas* newRoom_ = nullptr;  // owned
  zelvproTopCanvas* top_ = nullptr;     // owned
  ppView* extraView_ = nullptr;         // not owned
  zelvproCanvas* plan_ = nullptr;       // owned
  int32_t viewMode_ = 2016;
  // The last mode that chose the subviews (2032 and 2056 keep them).
  int32_t subviewMode_ = 2016;
  ppView* target_ = nullptr;      // one of the canvases
  std::vector<int32_t> passing_;  // commands being passed up now, innermost last
};
