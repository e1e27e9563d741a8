// The top canvas: the root of the placed units of the plan and the view that draws them. It builds the
// plan from an opened document's module records, pastes copied elements, keeps the plan's
// "transparent" display flag, shows its own information panel, keeps its children ordered by their
// stacking key and posts the annotation pass after every paint and the price-list rebuild after a full
// refresh. The document window owns the main one (iElementHost::TopCanvas).
// User-interface thread only.
#pragma once

#include <memory>
#include <vector>

#include "elements/base/OverlapIndex.h"
#include "elements/base/SnapIndex.h"
#include "elements/base/iUnitWatch.h"
#include "elements/base/zelvproCanvas.h"

class qxAnnotationSweeper;
class qxViewHolder;
struct PlanAnnotation;
struct qxPrintPage;

class zelvproTopCanvas : public zelvproCanvas {
 public:
  // The canvas's own module record has this "type".
  static constexpr int32_t kRecordType = -1;
  // The transparent flag: parameter 1 sets it, -1 clears it, 0 toggles it.
  static constexpr int32_t kTransparentCommand = 3052;

  zelvproTopCanvas(ppView* parent, const plat::RECT& frame, zelvDatabase* database);
  ~zelvproTopCanvas() override;

  // 3052 here; every other command as the plan canvas has it.
  void DoCommand(int32_t command, intptr_t parameter) override;
  bool Transparent() const { return transparent_; }
  // In OpenGL mode, then posts one annotation pass.
  void Draw(ppDC& dc) override;
  bool AcceptsChild(int32_t /*kind*/, zelvproElement* /*element*/) override { return true; }
  // The canvas's own panel: caption text 6315 ("Canvas"), the texts 7010-7014.
  void BuildInfoPanel(qxViewHolder* source) override;

  // ---- Records.
  // The element's fields with "type" -1 and "transparent".
  void WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) override;
  // The canvas's part of reading its own module record: its document id.
  void ReadTopCanvasRecord(ppDatafile& record);
  // Builds the plan from the module records of an opened document (the canvas was emptied): one
  // element per record of a known type whose catalogue is open, inside the element the record's
  // "parent" names. A record whose element cannot be built (its item is missing, or building
  // failed) leaves nothing behind and is reported once in an "Import fejl!" box at the end.
  void LoadPlan(ppDatafile& modules);
  // Pastes the copy table's elements as one undoable paste; `flag` non-zero: with undo and redraw.
  void LoadDocumentModules(int32_t flag) override;
  // The children ordered by their stacking key, highest first (equal keys keep their order).
  void AfterEdit(ppTask* task) override;
  // The tag goes to the selected children only (the last child first) and their trees; the canvas
  // keeps no tag of its own.
  void SetTagTree(int32_t value) override;
  // The drawing export's call goes to every child, first to last.
  void ExportHook(intptr_t value) override;

  // ---- The snap index (SnapIndex): the children's anchors by plan cell, kept current by the child
  // list's changes and the elements' notices (zelvproElement::NoteSnapChange).
  // The plain search (own anchors, then the children in turn), restricted by the index to the
  // anchors near enough to answer; the answers are those of the plain walk (debug builds check each).
  zelvproElement* NearestSnap(const SnapAnchor& query, SnapAnchor& out, float& best, int32_t& index,
                              zelvproElement* asker, uint32_t flags) override;
  void AddSubview(ppView* view) override;
  void InsertSubview(ppView* view, int32_t index) override;
  void RemoveSubview(ppView* view) override;

  // ---- Snap, overlap and edge queries of the moving tasks (plan millimetres unless said).
  // Which free anchor of the plan lies nearest to one of `element`'s anchors placed with the element's
  // origin at `offset`: the element owning it (a child or deeper), or null when the nearest lies
  // farther than `limit`. Children held by `exclusion` and `element` itself are left out. The out
  // values describe the nearest found even when null is answered; `anchorIndex` is -1 when nothing
  // matched. Strictly nearer replaces: on equal distances the earlier anchor, then the earlier child.
  // Asks the snap index; debug builds check every answer against the plain walk.
  zelvproElement* FindSnap(zelvproElement* element, int32_t& anchorIndex, int32_t& otherIndex, float limit,
                           const ppVector3& offset, SnapAnchor& entry, const qxViewHolder* exclusion,
                           bool threeD);
  // Whether an element of `moved` overlaps (heights and footprints) another visible element of the
  // plan's tree that is not in `moved`. Footprints keep 0.02 mm inside the box, so touching units do
  // not overlap.
  bool Overlaps(const qxViewHolder* moved);
  // The nearest child edge beyond the line x = `line` (y = `line` for NearestEdgeY) on the asked side,
  // among children lying wholly on that side with a corner strictly within the span; `best` is
  // updated in place. The pixel forms measure the children's extents in window pixels.
  void NearestEdgeX(float& best, float line, float spanStart, float spanEnd, bool positiveSide);
  void NearestEdgeY(float& best, float line, float spanStart, float spanEnd, bool positiveSide);
  void NearestEdgeXPixels(int32_t& best, int32_t line, int32_t spanStart, int32_t spanEnd, bool positiveSide);
  void NearestEdgeYPixels(int32_t& best, int32_t line, int32_t spanStart, int32_t spanEnd, bool positiveSide);

  // ---- Refresh and the price list.
  // Marks the tree changed, redraws the 3D view and posts one price-list rebuild.
  virtual void RefreshAll();
  // Rebuilds the whole price list from the plan (numbers, worktops, lines); with Ctrl and Alt held
  // the calculation table is emptied first.
  virtual void RecalculatePriceList();
  // The annotation pass over the tree on the canvas's window (clipped to the supervisor's frame).
  void DrawAnnotations();
  void AnnotationSwept(const qxAnnotationSweeper* sweeper);

  // ---- Order file and worktops.
  // Every child writes its order lines, in child order.
  void WriteOrderModule(iOrderWriter& writer) override;
  // Rebuilds the worktop runs from the units of the plan in numbering order ("EnumNumber"): the
  // generated items and every worktop (kind 17) go first, then each unit's worktop step runs on the
  // current run; a last run that got no length is deleted, else it becomes a child of the canvas.
  void GenerateWorktops();

  // ---- Annotations of the printed pages (zelvproTopCanvasPrint.cpp). Device pixels; the page's
  // image rectangle frames the picture and its imageScale is the pen scale (device pixels per
  // picture pixel) that every fixed size is multiplied by. `unitsPerPixel`: model millimetres per
  // picture pixel; `factor`: device pixels per millimetre of the picture.
  // The measure lines of the plan with their unsigned lengths; hidden ones draw nothing.
  static void DrawPlanMeasures(ppDC& dc, const qxPrintPage& page, const std::vector<PlanAnnotation>& measures,
                               float factor, float unitsPerPixel);
  // The number label of every numbered top-view unit of `chain` ("EnumNumber" above 0): a white box
  // framed in black with the number centred. `first`, `second`: the picture's page points, millimetres.
  static void DrawNumberLabels(ppDC& dc, const qxPrintPage& page, qxViewHolder* chain, float factor,
                               float unitsPerPixel, const ppVector2& first, const ppVector2& second);
  static void SwapInts(int32_t& a, int32_t& b);
  // The two ends of a run (holders' run points, millimetres): the start of the element lying first
  // along the run and the end of the one reaching furthest, brought onto one line parallel to it.
  static void ComputeRunEnds(const qxViewHolder* run, ppVector3& start, ppVector3& end);
  // The measure lines of an elevation page over its picture: widths below (or above, for raised
  // units), heights at the left edge, one column per unit, and the height above the floor of units
  // raised more than 10 mm. The holders' run points are the units' points on the picture
  // (millimetres from its left and bottom edges); `origin`: the picture's margin inside the
  // rectangle, millimetres.
  static void DrawElevationMeasures(ppDC& dc, const qxPrintPage& page, const qxViewHolder* run, float factor,
                                    float unitsPerPixel, const ppVector2& origin);

  // ---- Printed plan and elevation pages (zelvproTopCanvasPages.cpp): one elevation page per wall
  // run of the plan, the last run built first, then the plan page with the runs' number labels.
  // Page 1 starts a new job: whatever an earlier, aborted job left queued is dropped. Answers whether
  // another page follows. The installed print settings answer from `page` while a page prints.
  virtual bool PrintNextPage(ppDC& dc, qxPrintPage& page, int32_t pageNumber);
  // Prints the next queued run as one page; `page.morePages` tells whether more runs wait.
  virtual void PrintElevationPage(ppDC& dc, qxPrintPage& page);
  virtual void PrintPlanPage(ppDC& dc, qxPrintPage& page);
  virtual void PrintPageHeader(ppDC& dc, qxPrintPage& page);
  // Groups the plan's elements into wall runs and queues them (the neighbours met at the runs'
  // corners added, elements without size left out, empty runs dropped).
  void BuildElevationQueue();
  // The queued runs in the order they print; owned by the canvas.
  std::vector<const qxViewHolder*> QueuedRuns() const;
  int32_t PrintPass() const { return printPass_; }

  // ---- Elevation pictures (zelvproTopCanvasPictures.cpp).
  static constexpr int32_t kElevationPictureWidth = 1024, kElevationPictureHeight = 768;
  // Splits the children into runs (one turn within 0.5 radians of the run's first unit, standing less
  // than 100 mm from its line) and writes each run's elevation picture, drawn by the element host's
  // print pictures, as a BMP file: the save dialog names the first (asked again after a cancel,
  // which skips its run), later runs get "_2", "_3" ... before the extension. A run without a
  // picture writes nothing; the first failed write shows one message and ends the writing.
  void ExportElevationPictures();

 protected:
  // The element a module record of `type` makes inside `container`; null for a type the plan does not
  // build. `fresh`: the element is made anew (a paste), not read back as stored.
  virtual zelvproElement* BuildModuleElement(int32_t type, zelvproElement* container, ppDatafile& module,
                                             bool fresh);

 private:
  bool transparent_ = false;
  // The wall runs still to print, the one printed next last; each holder chain owned. The print pass
  // is 1 when the plan page is next.
  std::vector<std::unique_ptr<qxViewHolder>> elevationQueue_;
  int32_t printPass_ = 0;
  void AddCornerNeighbours();
  std::vector<qxAnnotationSweeper*> pendingAnnotations_;  // owned by the queue until they run
  // Owned; live as long as this part of the canvas (the children notify them through treeWatch_).
  std::unique_ptr<SnapIndex> snapIndex_;
  std::unique_ptr<OverlapIndex> overlapIndex_;
  // Hands the children's notices to both indexes.
  class TreeWatch : public iUnitWatch {
   public:
    explicit TreeWatch(zelvproTopCanvas& canvas) : canvas_(canvas) {}
    void UnitChanged(zelvproElement* unit) override;

   private:
    zelvproTopCanvas& canvas_;
  };
  TreeWatch treeWatch_{*this};
  // The steps of one search, kept between searches so that a search allocates nothing once warm;
  // `searching_` while they are walked (a child asked then may search this canvas again).
  std::vector<SnapIndex::Step> snapSteps_;
  bool searching_ = false;
  std::vector<SnapIndex::Step>& StepsFor(std::vector<SnapIndex::Step>& spare);
  // The searches, through the index or (`indexed` false) by the plain walk over every child.
  zelvproElement* SearchNearest(const SnapAnchor& query, SnapAnchor& out, float& best, int32_t& index,
                                zelvproElement* asker, uint32_t flags, bool indexed);
  zelvproElement* SearchSnap(zelvproElement* element, int32_t& anchorIndex, int32_t& otherIndex, float limit,
                             const ppVector3& offset, SnapAnchor& entry, const qxViewHolder* exclusion,
                             bool threeD, bool indexed);
};
