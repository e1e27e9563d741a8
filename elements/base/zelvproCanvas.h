// A plan canvas: the root element of one plan tree, which also keeps the plan's undo history. It owns
// the copy table of copied elements (a "qxDocModule" table on its own memory block), answers the edit
// commands (undo, redo, cut, copy, paste, delete, select all), greys the edit menu items, turns a
// press on empty space into a rubber band, draws the selection's dragging outline and schedules the
// configurator's refresh after every change. The document window's canvases build on it; the
// element tasks post to its history.
//
// Ownership: the canvas owns its children (as every view), its history's tasks and its copy table.
// User-interface thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "elements/base/iPlanEditor.h"
#include "elements/base/zelvproElement.h"
#include "framework/ppUndoer.h"

class zelvproCanvasUpdateSweeper;
class zelvproDocModuleFil;
struct qxPrintPage;

class zelvproCanvas : public zelvproElement, public ppUndoer {
 public:
  // The edit commands and the others the canvas answers itself.
  static constexpr int32_t kUndo = 31, kRedo = 32, kCut = 33, kCopy = 34, kPaste = 35, kDelete = 36;
  static constexpr int32_t kSelectAll = 203, kDeselectAll = 204;
  // 1001: the parameter is a task (taken over) to post on the history.
  static constexpr int32_t kPostTask = 1001;
  // The view bar's view and zoom commands; 3001 (room design) only while room design is offered.
  static constexpr int32_t kRoomDesignView = 3001, kFirstViewCommand = 3002, kLastViewCommand = 3011;
  static constexpr int32_t kIgnored = 3058;
  // Turn the selection by the rotation step: clockwise, counterclockwise, as the plan and the 3D view
  // from above show it.
  static constexpr int32_t kTurnClockwise = 4008, kTurnCounterclockwise = 4009;
  // Outside the 3D view a press this many pixels outside the frame still lands on the canvas.
  static constexpr int32_t kPressMargin = 50;

  zelvproCanvas(ppView* parent, const plat::RECT& frame, zelvDatabase* database);
  ~zelvproCanvas() override;

  ppUndoer* GetUndoer() override { return this; }
  // The scrolled view of the main canvas, whose window frame gives the pixel origin; null when the
  // canvas is not shown in one.
  virtual ppView* GetScrollView() { return scrollView_; }
  void SetScrollView(ppView* view) { scrollView_ = view; }

  // ---- Commands and the menu.
  void DoCommand(int32_t command, intptr_t parameter) override;
  // Enables or greys 31-36 and 203 on the document window's menu.
  void UpdateTargetMenus() override;
  // The canvas leaves the cursor as it is.
  void AdjustCursor(int32_t /*x*/, int32_t /*y*/) override {}
  // The selected elements' records go to the copy table, then the selection is deleted.
  virtual void Cut();
  // Builds elements from the copy table (with 0: duplicates the selection in place). Nothing here.
  virtual void LoadDocumentModules(int32_t /*flag*/) {}
  // Makes the selection chain of holders after a selection change.
  virtual void RebuildViewHolders() {}
  // Every child selected; every child deselected (with `refresh`, each redraws).
  void SelectAll();
  void DeselectAll(bool refresh);

  // ---- Presses and hit tests (window pixels).
  // Two passes: the elements first (FirstPressPass set, the canvas refuses); when none took the press,
  // elements and then the canvas itself. A taken press brings the keyboard focus to the canvas.
  bool MouseDown(int32_t x, int32_t y) override;
  // The canvas's own press: deselects everything and starts the rubber band; refused while the
  // elements have the first pass.
  bool IsDoubleClick(int32_t x, int32_t y) override;
  // In the 3D view the frame; elsewhere the frame's box grown by kPressMargin on every side.
  bool ContainsPoint(int32_t x, int32_t y) override;
  // The canvas's window frame.
  std::unique_ptr<ppRegion> GetFrameRegion() override;
  // The union of the selected children's frame regions; empty when nothing is selected.
  std::unique_ptr<ppRegion> NewFrameRegion() override;
  // The XOR frame of the selection's region moved so that its bounds start at (x, y).
  void DrawOutlineAt(int32_t x, int32_t y, float angle, float pivotX, float pivotY, ppDC& dc) override;
  void DrawContent(ppDC& /*dc*/) override {}
  // The rubber-band task of the canvas layer over `view` (the canvas); null without one.
  ppTask* CreatePointerTask(ppView* view) override;

  // ---- The element part of a root.
  zelvproElement* GetParentElement() override { return nullptr; }
  zelvproCanvas* GetCanvas() override { return this; }
  void UpdateFrame() override;
  // The editor's current canvas schedules its deferred update; the others shown beside it do not.
  void UpdateTexts() override;
  // Whether the scrolled view that shows the canvas has it as its current view (its key target).
  bool IsEditorsCurrentCanvas();
  // The selection's panel, or an empty tab row when nothing is selected.
  void BuildInfoPanel(qxViewHolder* source) override;
  using zelvproElement::Collides;
  // Whether `element` stands below height -0.1 mm, or exactly where another child stands at the same
  // normalized angle.
  bool Collides(zelvproElement* element);

  // ---- The deferred update.
  // Posts one deferred update of the canvas to its window (the document window when it has none;
  // nothing without either). At most one update is pending in the program: further requests before
  // it ran add nothing. With `configuratorFocus` the configurator takes the keyboard focus after it.
  virtual void ScheduleUpdate() { RequestUpdate(false); }
  void RequestUpdate(bool configuratorFocus);
  // Whether an update is pending (the program-wide flag).
  static bool UpdateScheduled();
  // Clears the program-wide flag, so that the next request posts a new update.
  static void ClearCanvasGlobal();
  // The deferred update: the selection's holder chain, or a holder of the canvas itself when
  // nothing is selected, becomes the current one and shows its panel; then the focus moves. Nothing
  // for a canvas the view shown does not show.
  virtual void RunScheduledUpdate(bool configuratorFocus);
  // Whether the view shown shows this canvas: the price list shows none, the 3D view the placed
  // units' canvas, every plan view each canvas. An update of a canvas not shown leaves the panel.
  bool IsShownByCurrentView();
  // A sweeper of this canvas ran or went.
  void UpdateSwept(const zelvproCanvasUpdateSweeper* sweeper);

  // ---- The plan as a whole.
  // One new holder per child, the last child first, each put in front of the chain so far (`head`,
  // taken over, may be null); answers the new first holder.
  qxViewHolder* BuildHolderChain(qxViewHolder* head);
  // Empties the plan: the history goes first (its tasks name the children), then every child, last
  // first; the canvas is redrawn.
  void DeleteAllElements();

  // The editor pane that shows the canvas; a neutral one when none was set.
  iPlanEditor& GetEditor() const { return editor_ != nullptr ? *editor_ : iPlanEditor::Neutral(); }
  // Not owned; null: none. The editor clears it before it goes.
  void SetEditor(iPlanEditor* editor) { editor_ = editor; }

  // The canvas's copy table; null when the canvas has no database to lay it out with.
  ppDatafile* CopyModules();

  // ---- Printed pages (zelvproCanvasPrint.cpp). Device pixels of the printer; the page record
  // carries the margins (millimetres), the drawing rectangle and scale.
  // Fits the children's plan extent below the header band: margins, origin, scale (device pixels
  // per millimetre; with a drawing scale 1:N chosen, the device's dots per millimetre / N) and the
  // drawing rectangle sized with that scale. Without children: scale 1 and an empty rectangle.
  void LayoutPrintPage(qxPrintPage& page);
  // The printing twin of Draw: the header once per page (options 1 or 5), then the children
  // (option 2). Answers the page's more-pages byte. Only a shown canvas prints.
  bool Print(ppDC& dc, qxPrintPage& page);
  using zelvproElement::Print;
  // The header, once per page (option 0 records that it is printed).
  void PrintContent(ppDC& dc, qxPrintPage& page);
  using zelvproElement::PrintContent;
  // The page header: the logo at the drawing's left, the framed block of document name, date,
  // drawing scale and room size, and its caption.
  static void BuildPrintHeaderText(ppDC& dc, const qxPrintPage& page);
  // The four-column title block at the page's foot (document number, revision, description, date,
  // customer); no print path calls it yet.
  static void PrintTitleBlock(ppDC& dc, const qxPrintPage& page);
  // The file name of `path` after its last backslash or slash, cut at its first full stop; an empty path
  // leaves `out` as it is.
  static void GetDocumentBaseName(std::string& out, const Vcon::WString& path);
  // A picture of `width` x `height` scaled to fit `column` (aspect kept), at the column's top-left,
  // before any inset.
  static plat::RECT FitPicture(const plat::RECT& column, int32_t width, int32_t height);

 private:
  ppView* scrollView_ = nullptr;                             // not owned
  std::vector<zelvproCanvasUpdateSweeper*> pendingUpdates_;  // owned by the queue until they run
  iPlanEditor* editor_ = nullptr;                            // not owned
  Handle copyBlock_ = nullptr;                               // owned; the copy table's bytes
  std::unique_ptr<zelvproDocModuleFil> copyModules_;         // bound to copyBlock_
};
