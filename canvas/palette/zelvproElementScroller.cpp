#include "canvas/palette/zelvproElementScroller.h"

#include <algorithm>
#include <memory>

#include "catalogue/browser/CatalogItemList.h"
#include "catalogue/browser/qxCatalog.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproCatalogItemFil.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/iElementHost.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/iScenePane.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/topview/CatalogReads.h"
#include "framework/FontCache.h"
#include "framework/ppClipSaver.h"
#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "framework/ppRegion.h"
#include "framework/ppScrollPane.h"
#include "framework/ppTask.h"
#include "platform/ResetList.h"
#include "platform/WindowApi.h"

namespace {

// The strip of the run (not owned: its pane owns it); user-interface thread only.
zelvproElementScroller* gStrip = nullptr;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("element palette: the item strip", [] { gStrip = nullptr; });

// The views in which a unit item may be placed: the plan views and the 3D view; not the item list.
constexpr int32_t kUnitViews[] = {2004, 2016, 2020, 2024, 2032, 2056};
constexpr int32_t kItemListView = 2012;
// Selection frame: 2 x 2 pixel pen, colour in percent.
constexpr ppRGBColor kSelectionColour{0, 25, 0};
constexpr int32_t kCaptionHeight = 12;

bool PlacesUnits(int32_t view) {
  return view != kItemListView &&
         std::find(std::begin(kUnitViews), std::end(kUnitViews), view) != std::end(kUnitViews);
}

zelvproCanvas* CanvasOf(zelvproElement* root) { return root != nullptr ? root->GetCanvas() : nullptr; }

// The plan canvas the editor shows in `view`: the room design view shows the new-room canvas alone
// (the top canvas is detached there, so a unit made on it would be out of sight and its drag would
// never get the mouse); the other plan views put the top canvas in front.
zelvproCanvas* ShownPlanCanvas(iElementHost& host, int32_t view) {
  if (view == iElementHost::kPlanView)
    if (zelvproCanvas* room = CanvasOf(host.NewRoomCanvas())) return room;
  return CanvasOf(host.TopCanvas());
}

// The item's picture: its "Preview", or the preview record "previewLink" names; empty when none.
ppPicture ItemPicture(zelvDatabase& db, const char* item) {
  zelvproCatalogItemFil& items = db.CatalogItemFile();
  ppPicture picture;
  Handle data = nullptr;
  const int32_t link = RecordField(items, "previewLink").Long(item);
  if (link != 0) {
    zelvproPreviewFil& previews = items.PreviewFile();
    if (CatalogReads::Read(previews, link))
      data = RecordField(previews, "preview").Data(previews.GetRecordBuffer());
  } else {
    data = RecordField(items, "Preview").Data(item);
  }
  if (data != nullptr && MemGetSize(data) > 0) picture.SetFromMemory(*data, size_t(MemGetSize(data)));
  return picture;
}

// The caption as it fits `width` pixels in the font set on `dc`: the whole name, or its longest
// beginning that fits with an ellipsis after it. Centred, a wider name would lose both ends to the
// cell's edges. A binary search over the length keeps long names cheap to draw.
Vcon::WString FittedCaption(ppDC& dc, const Vcon::WString& name, int32_t width) {
  if (dc.GetTextWidth(name) <= width) return name;
  const auto cut = [&](size_t length) {
    Vcon::WString text(name.substr(0, length));
    text.TrimTrailing(u" ");
    return Vcon::WString(text + u"\u2026");
  };
  size_t fits = 0, tooLong = name.size();
  while (tooLong - fits > 1) {
    const size_t middle = (fits + tooLong) / 2;
    if (dc.GetTextWidth(cut(middle)) <= width)
      fits = middle;
    else
      tooLong = middle;
  }
  return cut(fits);
}

}  // namespace

zelvproElementScroller::zelvproElementScroller(ppView* supervisor, const plat::RECT& frame)
    : ppListScroller(supervisor, frame, 0, kCellSize, kCellSize) {
  SetExtent(0, 1);
  gStrip = this;
}

zelvproElementScroller::~zelvproElementScroller() {
  if (gStrip == this) gStrip = nullptr;
}

zelvproElementScroller* zelvproElementScroller::Current() { return gStrip; }

int32_t zelvproElementScroller::ItemCount() const {
  return catalog_ != nullptr ? CatalogItemList::Count(catalog_->Items().Get()) : 0;
}

ppPicture zelvproElementScroller::ItemPictureAt(int32_t column) const {
  if (column < 0 || column >= ItemCount()) return ppPicture();
  const CatalogItemEntry entry = catalog_->Items().At(column);
  const char* item = catalog_->ReadItemAt(column);
  if (entry.database == nullptr || item == nullptr) return ppPicture();
  return ItemPicture(*entry.database, item);
}

void zelvproElementScroller::LayoutAgain() {
  if (ppScrollPane* pane = Pane()) pane->Layout();
  Invalidate();
}

void zelvproElementScroller::Reload() {
  SetExtent(ItemCount() + 1, 1);
  ScrollTo(0, 0);
  LayoutAgain();
}

void zelvproElementScroller::Clear() {
  SetExtent(0, 1);
  ScrollTo(0, 0);
  LayoutAgain();
}

void zelvproElementScroller::SetSelection(int32_t column, int32_t row) {
  selectedColumn_ = column;
  selectedRow_ = row;
  Invalidate();
}

void zelvproElementScroller::DrawCell(ppDC& dc, int32_t column, int32_t row, const plat::RECT& /*rect*/) {
  if (catalog_ != nullptr && column >= ItemCount()) return;
  ppClipSaver clip(dc);
  ClipToFrame(dc);

  plat::RECT cell;
  GetCellRect(column, row, &cell);
  const plat::RECT r{cell.left + 1, cell.top + 4, cell.left + 88, cell.top + 91};
  dc.EraseRect(r);
  dc.SetNormalPen();
  dc.MoveTo(r.right + 2, r.top);
  dc.LineTo(r.right + 2, r.bottom + 9);
  if (column != 0) {
    dc.MoveTo(r.left - 1, r.top);
    dc.LineTo(r.left - 1, r.bottom + 9);
  }
  const plat::RECT caption{r.left, r.top + 86, r.right, r.top + 86 + 14};

  if (catalog_ != nullptr) {
    const CatalogItemEntry entry = catalog_->Items().At(column);
    const char* item = catalog_->ReadItemAt(column);
    if (entry.database != nullptr && item != nullptr) {
      const Vcon::WString name = RecordField(entry.database->CatalogItemFile(), "tname").WideText(item);
      const ppPicture picture = ItemPicture(*entry.database, item);
      if (!picture.IsEmpty()) {
        const plat::RECT space{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
        const int32_t x = space.left + (space.right - space.left - picture.GetWidth() + 1) / 2;
        const int32_t y = space.top + (space.bottom - space.top - picture.GetHeight() + 1) / 2;
        {
          ppClipSaver pictureClip(dc);
          dc.ClipToRect(space);
          picture.DrawClipped(dc, plat::RECT{x, y, x + picture.GetWidth(), y + picture.GetHeight()});
        }
        dc.SetFont(Vcon::String(kPlainFaceName), kCaptionHeight, 0, 0.0f);
        plat::RECT text{caption.left, caption.top, caption.right, caption.bottom - 3};
        const Vcon::WString shown = FittedCaption(dc, name, text.right - text.left);
        dc.SelectFont();
        // The base line lies 3 pixels above the caption's bottom; the descenders hang below it.
        plat::TEXTMETRICW metrics;
        if (plat::GetTextMetricsW(dc.GetHDC(), &metrics)) text.bottom += metrics.tmDescent;
        dc.DrawText(shown, text, plat::DT_CENTER | plat::DT_BOTTOM | plat::DT_SINGLELINE);
        dc.RestoreFont();
      }
    }
  }

  if (column == selectedColumn_ && selectedColumn_ >= 0 && selectedRow_ >= 0) {
    plat::RECT frame;
    GetCellRect(selectedColumn_, selectedRow_, &frame);
    frame = {frame.left + 7, frame.top + 7, frame.right + 7 - 4, frame.bottom + 7 - 4};
    dc.SetPenSize(2, 2);
    dc.SetColor(kSelectionColour);
    dc.FrameRect(frame);
    dc.SetNormalPen();
  }
}

bool zelvproElementScroller::CellClicked(int32_t column, int32_t /*row*/, int32_t x, int32_t y) {
  return StartItemDrag(x, y, column);
}

bool zelvproElementScroller::StartItemDrag(int32_t x, int32_t y, int32_t column) {
  if (plat::HWND window = GetHWND()) plat::SetFocus(window);
  if (column < 0 || column >= ItemCount()) return true;
  const CatalogItemEntry entry = catalog_->Items().At(column);
  const char* item = catalog_->ReadItemAt(column);
  if (entry.database == nullptr || item == nullptr) return true;
  zelvproCatalogItemFil& items = entry.database->CatalogItemFile();
  // Read before anything else reads the item table again.
  const int32_t isColour = RecordField(items, "isColor").Long(item);
  const int32_t topView = RecordField(items, "TopView").Long(item);
  const int32_t finish = RecordField(items, "finishLink").Long(item);
  if (isColour == 0) {
    StartUnitDrag(x, y, entry.database, topView);
  } else {
    StartColourDrag(x, y, entry.database, finish);
  }
  return true;
}

void zelvproElementScroller::StartUnitDrag(int32_t x, int32_t y, zelvDatabase* db, int32_t topView) {
  iElementHost& host = iElementHost::Current();
  const int32_t view = host.CurrentViewId();
  if (!PlacesUnits(view)) return;
  zelvproCanvas* canvas = ShownPlanCanvas(host, view);
  if (canvas == nullptr) return;
  plat::POINT p{x, y};
  canvas->WindowToLocal(&p);
  canvas->DeselectAll(true);

  zelvproTopViewFil& topViews = db->TopViewFile();
  zelvproElement* element =
      topViews.CreateElement(topView, plat::RECT{p.x, p.y, p.x + 100, p.y + 100}, canvas);
  if (element == nullptr) return;
  const int32_t type = CatalogReads::LongOf(topViews, topView, "Type");
  // The element stands at the press point until its task places it.
  element->MoveTo(p.x, p.y);
  auto* holder = new qxViewHolder(element, nullptr, false);

  iElementTaskFactory& factory = iElementTaskFactory::Current();
  iScenePane* pane = host.ScenePane();
  const bool in3D = view == iElementHost::k3DView;
  ppTask* task = nullptr;
  if (type == zelvproTopViewFil::kStructureElement || type == zelvproTopViewFil::kDoor ||
      type == zelvproTopViewFil::kRoomWindow || type == ElementKinds::kPlanWall) {
    task = element->CreateDraggerTask(holder, canvas);
  } else if (type == zelvproTopViewFil::kAccessory) {
    task = factory.NewAccessoryTask(canvas, element);
  } else {
    // A unit comes at its catalogue height above the floor; the tasks keep the height it has.
    ppVector3 at = element->GetPosition();
    at.y = element->HeightAboveFloor();
    element->SetPosition(at);
    // Deselected with their redraw, and drawn so before the task's outline is, so that nothing
    // selected before (a room's measure lines) stays on screen, be the drop taken or refused.
    for (zelvproElement* root : {host.TopCanvas(), host.NewRoomCanvas()})
      if (zelvproCanvas* c = CanvasOf(root)) c->DeselectAll(true);
    if (plat::HWND window = canvas->GetHWND()) plat::UpdateWindow(window);
    task = in3D ? factory.New3DDraggerTask(holder, pane, 0) : element->CreateDraggerTask(holder, canvas);
  }
  if (task == nullptr) {
    // Nothing places the element: it never joins the plan.
    delete holder;
    delete element;
    return;
  }
  // The accessory task keeps the element, not the chain.
  if (type == zelvproTopViewFil::kAccessory) delete holder;
  if (in3D && pane != nullptr) {
    pane->Invalidate();
    if (plat::HWND window = host.ScenePaneWindow()) plat::UpdateWindow(window);
  }
  factory.StartWithElement(task, x, y, element->NewFrameRegion());
}

void zelvproElementScroller::StartColourDrag(int32_t x, int32_t y, zelvDatabase* db, int32_t colourId) {
  if (colourId == 0) return;
  iElementHost& host = iElementHost::Current();
  iElementTaskFactory& factory = iElementTaskFactory::Current();
  ppTask* task = host.CurrentViewId() == iElementHost::k3DView
                     ? factory.New3DColorTask(colourId, db, host.ScenePane())
                     : factory.NewColorTask(colourId, db, ShownPlanCanvas(host, host.CurrentViewId()));
  if (task != nullptr) factory.StartWithElement(task, x, y, nullptr);
}

void zelvproElementScroller::DoCommand(int32_t command, intptr_t parameter) {
  if (command == kScrollVertically || command == kScrollHorizontally) {
    ppScroller::DoCommand(command, parameter);
  } else {
    ppEventHandler::DoCommand(command, parameter);
  }
}

void zelvproElementScroller::LocalToWindow(plat::POINT* point) { ppView::LocalToWindow(point); }
void zelvproElementScroller::LocalToWindowRect(plat::RECT* rect) { ppView::LocalToWindowRect(rect); }
void zelvproElementScroller::WindowToLocal(plat::POINT* point) { ppView::WindowToLocal(point); }
void zelvproElementScroller::WindowToLocalRect(plat::RECT* rect) { ppView::WindowToLocalRect(rect); }
