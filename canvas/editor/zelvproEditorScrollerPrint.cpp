// The editor scroller's printing: the elevation series, the plan of both canvases (printed directly
// with an optional DXF dump, or as a raster page with the room outline drawn over it), the new-room
// canvas alone, the price list and the 3D view; and the view bitmap of the plan at 1:50.
// Device pixels of the page throughout; float to integer truncates.
#include <algorithm>
#include <cfloat>

#include "canvas/editor/PriceListEditorPrint.h"
#include "canvas/editor/iEditorListPrint.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/qxPagePrintSettings.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/iPrintSettings.h"
#include "foundation/FileOperations.h"
#include "foundation/FileRecord.h"
#include "foundation/ppVector2.h"
#include "framework/ppDC.h"
#include "platform/Gdi.h"
#include "room/qxNewRoomCanvas.h"
#include "scene3d/dxf/DxfExportState.h"
#include "scene3d/dxf/DxfWriter.h"
#include "scene3d/panes/qxBmpFile.h"
#include "scene3d/panes/qxDibSurface.h"
#include "scene3d/panes/qxEditorViews.h"
#include "scene3d/panes/qxPrintPage.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace {

// The elevation print's page: margins in millimetres, drawing scale in device pixels per
// millimetre of the plan over pixels per millimetre of paper.
constexpr float kElevationScaleDivisor = 2.857f;
constexpr float kElevationLeftMm = 20.0f;
constexpr float kElevationTopMm = 35.0f;
constexpr float kElevationWidthLessMm = 30.0f;
constexpr float kElevationHeightLessMm = 55.0f;
// The search start of the merged plan bounds (model millimetres).
constexpr float kBoundsStart = 2147483648.0f;

const char* const kDumpTitle = "Zelvo Demonstration";

bool EmptyRect(const plat::RECT& r) { return r.left == r.right || r.top == r.bottom; }

plat::RECT Union(const plat::RECT& a, const plat::RECT& b) {
  return plat::RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                    std::max(a.bottom, b.bottom)};
}

// The print settings while the DXF dump runs: every page is an outline page (furniture sends its
// outlines to the dump only when it is not filled); everything else as the settings installed before.
class DumpPrintSettings : public iPrintSettings {
 public:
  DumpPrintSettings() : previous_(iPrintSettings::Installed()) { iPrintSettings::Install(this); }
  ~DumpPrintSettings() override { iPrintSettings::Install(previous_); }
  DumpPrintSettings(const DumpPrintSettings&) = delete;
  DumpPrintSettings& operator=(const DumpPrintSettings&) = delete;

  bool OutlineOnly() override { return true; }
  PrintPageFields PageFields(int32_t page) override {
    PrintPageFields fields = Outer().PageFields(page);
    fields.outlinePage = true;
    return fields;
  }
  void PrintHeader(ppDC& dc, int32_t page) override { Outer().PrintHeader(dc, page); }
  void MarkPageDone(int32_t page) override { Outer().MarkPageDone(page); }
  int32_t DrawingScale() override { return Outer().DrawingScale(); }
  i3DPaneHost* DocumentHost() override { return Outer().DocumentHost(); }
  PrintTitleFields TitleFields() override { return Outer().TitleFields(); }

 private:
  iPrintSettings& Outer() { return previous_ != nullptr ? *previous_ : neutral_; }
  iPrintSettings* previous_;  // not owned; null: the neutral settings
  iPrintSettings neutral_;
};

// One DXF dump of the page printed meanwhile: the output file at DxfWriter::OutputPath(), the
// current writer and the export state for its lifetime. Every way out (a thrown file error too)
// stops the state, clears the current writer, deletes it and closes the file. A file that cannot be
// created leaves the writer writing nowhere (it reports on standard error) and the page prints.
class DxfDump {
 public:
  explicit DxfDump(float sheetHeight) {
    DxfWriter::OpenOutputFile(file_);
    writer_ = new DxfWriter(file_);
    DxfWriter::SetCurrent(writer_);
    DxfExportState::Shared().Start(sheetHeight);
    writer_->SetTitle(Vcon::String(kDumpTitle));
    writer_->BeginTables();
    writer_->AddLayer(Vcon::String("ROOM"), Vcon::String("1"));
    writer_->AddLayer(Vcon::String("FURNITURE"), Vcon::String("2"));
    writer_->EndTables();
    writer_->BeginBlocks();
    writer_->EndBlocks();
    writer_->BeginEntities();
  }
  // The page is drawn: the rest of the file goes out.
  void Finish() {
    writer_->EndEntities();
    writer_->WriteObjects();
    writer_->EndObjects();
    writer_->WriteFile();
  }
  ~DxfDump() {
    DxfExportState::Shared().Stop();
    DxfWriter::SetCurrent(nullptr);
    delete writer_;
    if (file_.IsOpen()) {
      try {
        FileClose(file_);
      } catch (int32_t) {
        // Closing after a failed write: the writer reported it already.
      }
    }
  }
  DxfDump(const DxfDump&) = delete;
  DxfDump& operator=(const DxfDump&) = delete;

 private:
  ppFileSpec file_;
  DxfWriter* writer_ = nullptr;  // owned
};

// Marks the 3D pane busy off screen for its lifetime, so that every way out clears the flag.
class BusyPane {
 public:
  explicit BusyPane(qx3DPane* pane) : pane_(pane) {
    if (pane_ != nullptr) pane_->SetOffscreenBusy(true);
  }
  ~BusyPane() {
    if (pane_ != nullptr) pane_->SetOffscreenBusy(false);
  }
  BusyPane(const BusyPane&) = delete;
  BusyPane& operator=(const BusyPane&) = delete;

 private:
  qx3DPane* pane_;
};

}  // namespace

int32_t zelvproEditorScroller::Print(ppDC& dc, int32_t pageNumber) {
  qxPrintPage top(dc);
  qxPrintPage room(dc);
  if (elevationPrint_) {
    top.leftMargin = 20;
    top.rightMargin = 10;
    top.topMargin = 10;
    top.bottomMargin = 0;
    top.headerGap = 5;
    top.headerHeight = 20;
    top.footerHeight = 20;
    top.zero[0] = top.zero[1] = kBoundsStart;
    top.imageScale = top.pixelsPerMmX / kElevationScaleDivisor;
    const float left = kElevationLeftMm * top.pixelsPerMmX;
    const float upper = kElevationTopMm * top.pixelsPerMmY;
    const float width = top.pageWidth - kElevationWidthLessMm * top.pixelsPerMmX;
    const float height = top.pageHeight - kElevationHeightLessMm * top.pixelsPerMmY;
    top.image = plat::RECT{int32_t(left), int32_t(upper), int32_t(left + width), int32_t(upper + height)};
    return top_->PrintNextPage(dc, top, pageNumber) ? 1 : 0;
  }
  switch (viewMode_) {
    case qxEditorViews::kTwoPlans:
    case qxEditorViews::kTwoPlansLinked:
    case kPlanPrintMode:
      PrintPlan(dc, top, room);
      return 0;
    case qxEditorViews::kPlanAnd3D: {
      // Without a list handed over, the document's own price list pane prints.
      static PriceListEditorPrint paneList;
      iEditorListPrint* list = listPrint_ != nullptr ? listPrint_ : &paneList;
      list->PreparePrint(top, iEditorListPrint::kEditorListLayout);
      return list->PrintPage(dc, top) ? 1 : 0;
    }
    case qxEditorViews::kOnePlan:
      newRoom_->LayoutPrintPage(top);
      top.options[1] = 1;
      top.options[3] = 1;
      PrintCanvas(*newRoom_, dc, top);
      return 0;
    case qxEditorViews::k3DOnly:
      if (zelvpro3DPane* pane = zelvpro3DPane::Current()) {
        pane->ComputePrintLayout(top);
        pane->RunOffscreenPrintThread(dc, top);
      }
      return 0;
    default:
      // 2032 and unknown modes: the page stays blank and the job ends.
      return 0;
  }
}

void zelvproEditorScroller::PrintPlan(ppDC& dc, qxPrintPage& top, qxPrintPage& room) {
  newRoom_->LayoutPrintPage(room);
  top_->LayoutPrintPage(top);
  if (EmptyRect(top.image)) {
    top = room;
  } else if (!EmptyRect(room.image)) {
    ppVector2 min(kBoundsStart, kBoundsStart);
    ppVector2 max(0.0f, 0.0f);
    newRoom_->ExtendBounds2D(min, max);
    top_->ExtendBounds2D(min, max);
    max.x += 5.0f;
    max.y += 50.0f;
    const float sx =
        (top.pageWidth - (top.leftMargin + top.rightMargin) * top.pixelsPerMmX) / (max.x - min.x);
    const float bands =
        top.topMargin + top.footerHeight + top.bottomMargin + top.headerGap + top.headerHeight;
    const float sy = (top.pageHeight - bands * top.pixelsPerMmY) / (max.y - min.y);
    top.imageScale = std::min(sx, sy);
    const int32_t drawingScale = iPrintSettings::Current().DrawingScale();
    if (drawingScale > 0) top.imageScale = top.dotsPerMmX / float(drawingScale);
    top.zero[0] = std::min(room.zero[0], top.zero[0]);
    top.zero[1] = std::min(room.zero[1], top.zero[1]);
    top.image = Union(room.image, top.image);
  }
  if (top_->Transparent()) {
    // Printed directly, both canvases with their own content; the dump, when asked for, hears every
    // line and outline they print.
    const bool dump = (iApplicationSettings::Current().flags2 & kDxfDumpFlag) != 0;
    if (!dump) {
      PrintCanvas(*newRoom_, dc, top);
      PrintCanvas(*top_, dc, top);
      return;
    }
    DumpPrintSettings outlines;
    DxfDump file(top.pageHeight);
    PrintCanvas(*newRoom_, dc, top);
    PrintCanvas(*top_, dc, top);
    file.Finish();
    return;
  }
  // The raster plan: the elements through a bitmap, then the canvases' own content (the header and
  // the room outline) drawn as vectors over it.
  top.options[1] = 0;
  rasterPage_ = &top;
  struct Clear {
    const qxPrintPage*& page;
    ~Clear() { page = nullptr; }
  } clear{rasterPage_};
  qxViewSettings settings;
  settings.frame = top.image;
  settings.zoom = top.pixelsPerMmX;
  settings.scale = settings.scaleY = top.imageScale;
  settings.originX = top.zero[0];
  settings.originY = top.zero[1];
  qxEditorViews::DrawViewThroughBitmap(*this, dc, settings, zelvpro3DPane::Current());
  top.options[1] = 1;
  top.options[2] = 0;
  top.options[3] = 0;
  PrintCanvas(*newRoom_, dc, top);
  PrintCanvas(*top_, dc, top);
  top.options[1] = 0;
  top.options[2] = 1;
}

void zelvproEditorScroller::PrintCanvas(zelvproCanvas& canvas, ppDC& dc, qxPrintPage& page) {
  canvas.Print(dc, page);
  if (&canvas != newRoom_ || !canvas.IsShown()) return;
  if (page.options[1] == 0 && page.options[5] == 0) return;
  // The room outline is the new-room canvas's own content; the header went with the canvas's print.
  qxPagePrintSettings settings(page);
  newRoom_->PrintContent(dc, 1);
}

void zelvproEditorScroller::DrawView(ppDC& dc, const qxViewSettings& settings) {
  // The page the bitmap stands for: the one printing now, else one made from the context.
  qxPrintPage page = rasterPage_ != nullptr ? *rasterPage_ : qxPrintPage(dc);
  const float base = page.imageScale;
  const float width = float(settings.frame.right - settings.frame.left);
  const float height = float(settings.frame.bottom - settings.frame.top);
  page.image = plat::RECT{0, 0, int32_t(width), int32_t(height)};
  page.imageScale = settings.scale;
  if (base > 0 && settings.scale > 0) page.textScale *= settings.scale / base;
  // The settings' origin is the model point at the bitmap's window origin; the page's is the one at
  // its drawing rectangle's corner.
  page.zero[0] =
      settings.scale != 0 ? settings.originX - float(settings.frame.left) / settings.scale : settings.originX;
  page.zero[1] =
      settings.scale != 0 ? settings.originY - float(settings.frame.top) / settings.scale : settings.originY;
  PrintViews(dc, page);
}

void zelvproEditorScroller::PrintViews(ppDC& dc, qxPrintPage& page) {
  switch (viewMode_) {
    case qxEditorViews::kTwoPlans:
    case qxEditorViews::kTwoPlansLinked:
    case kPlanPrintMode:
      if (page.options[3] == 0) PrintCanvas(*newRoom_, dc, page);
      PrintCanvas(*top_, dc, page);
      return;
    case qxEditorViews::kOnePlan:
      PrintCanvas(*newRoom_, dc, page);
      return;
    default:
      return;
  }
}

void zelvproEditorScroller::PrintViewsToBitmap(ppDC& dc, qxPrintPage& page) {
  page.options[5] = 1;
  page.options[1] = 0;
  // A picture of the plan carries no page header.
  page.options[0] = 1;
  switch (viewMode_) {
    case qxEditorViews::kTwoPlans:
    case qxEditorViews::kTwoPlansLinked:
      PrintCanvas(*newRoom_, dc, page);
      page.options[0] = 1;
      PrintCanvas(*top_, dc, page);
      return;
    case qxEditorViews::kOnePlan:
      PrintCanvas(*newRoom_, dc, page);
      return;
    default:
      return;
  }
}

bool zelvproEditorScroller::SaveViewBitmap(ppFileSpec& file) {
  BusyPane busy(zelvpro3DPane::Current());
  ppVector2 min(FLT_MAX, FLT_MAX);
  ppVector2 max(0.0f, 0.0f);
  switch (viewMode_) {
    case qxEditorViews::kTwoPlans:
    case qxEditorViews::kTwoPlansLinked:
      top_->ExtendBounds2D(min, max);
      newRoom_->ExtendBounds2D(min, max);
      break;
    case qxEditorViews::kOnePlan:
      newRoom_->ExtendBounds2D(min, max);
      break;
    default:
      break;
  }
  // No bounds (another mode, or nothing drawn): a page of negative size would make no bitmap.
  if (!(min.x <= max.x) || !(min.y <= max.y)) return false;
  qxPrintPage page(min, max);
  const int32_t width = page.image.right;
  const int32_t height = page.image.bottom;
  if (width <= 0 || height <= 0) return false;
  qxDibSurface surface(width, height);
  if (!surface.OK()) return false;
  {
    ppDC dc(surface.DC());
    dc.EraseRect(plat::RECT{0, 0, width, height + 1});
    plat::GdiFlush();
    surface.SetPixelFormat(qxDibSurface::kSoftwareFormat);
    dc.SetOpenGL(true, false, plat::RECT{0, 0, width, height});
    PrintViewsToBitmap(dc, page);
    dc.SetOpenGL(false, false, plat::RECT{0, 0, width, height});
    plat::GdiFlush();
  }
  try {
    qxBmpFile::Write(file.path, surface.Header(), surface.Bits());
  } catch (int32_t) {
    // The caller hears of the file error through the answer.
    return false;
  }
  return true;
}
