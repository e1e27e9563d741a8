#include "canvas/window/zelvproWindow.h"

#include <filesystem>
#include <system_error>

#include "calculation/zelvproCalculatorCanvas.h"
#include "calculation/zelvproCalculatorList.h"
#include "canvas/editor/zelvproEditor.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/palette/zelvproElementPalette.h"
#include "canvas/tasks/CanvasTaskFactory.h"
#include "canvas/view3d/zelvpro3DCanvas.h"
#include "canvas/window/DocumentCommandLine.h"
#include "canvas/window/PrintResolutionHook.h"
#include "canvas/window/RemoteCommandText.h"
#include "canvas/window/iDocumentCommands.h"
#include "canvas/window/qxBkGndView.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproDocFil.h"
#include "controls/zelvproConfiguratorPane.h"
#include "controls/zelvproInchScaleDialog.h"
#include "controls/zelvproMetricScaleDialog.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/zelvproTopCanvas.h"
#include "foundation/PosixPath.h"
#include "foundation/UserPreferences.h"
#include "framework/ToolTipControl.h"
#include "framework/ppApplication.h"
#include "framework/ppFillAdorner.h"
#include "framework/ppRegion.h"
#include "framework/qxAdornerColors.h"
#include "platform/Controls.h"
#include "platform/MdiWindows.h"
#include "platform/Menu.h"
#include "platform/MessageBox.h"
#include "platform/WindowApi.h"
#include "room/qxFloorElement.h"
#include "room/qxNewRoomCanvas.h"

namespace {

constexpr int32_t kItemListView = 2012, k3DView = 2024;
constexpr int32_t kPaletteHeight = 135, kOverviewPaletteHeight = 155;
// Grey value (percent, all three channels) of each entry of the window's colour table.
constexpr int32_t kGreys[zelvproWindow::kGreyCount] = {75, 90, 0, 40, 60, 40, 60, 80, 0, 100, 0, 100};
// The notifications the window swallows.
constexpr int32_t kSwallowedA = -860, kSwallowedB = -861;
// Millimetres; a lowest wall height from here up means no wall was found.
constexpr float kNoWallHeight = 1.0e9f;

uint32_t Flags1() { return iApplicationSettings::Current().flags1; }

// Whether a remote command's whole text names a file that exists (then it opens, whatever it looks
// like): a path starting with "/" reads like an option otherwise.
bool NamesExistingFile(const std::u16string& path) {
  if (path.empty()) return false;
  std::error_code error;
  return std::filesystem::is_regular_file(Vcon::ResolvePosixPath(std::u16string_view(path)), error);
}

void ShowApplicationFrame() {
  if (gApplication != nullptr) gApplication->ShowFrame();
}

// The document window class when there is no multiple-document client to make it in.
constexpr const char* kStandaloneClass = "ZelvCtrl";

plat::HWND MakeWindow(ppWindow* object, const plat::RECT& frame) {
  ppWindow::SetObjectUnderConstruction(object);
  const int32_t w = frame.right - frame.left, h = frame.bottom - frame.top;
  ppWindow* application = ppWindow::ApplicationWindow();
  if (application != nullptr && application->GetHWND() != nullptr)
    return plat::CreateMDIWindowA(ppApplication::kDocumentClass, nullptr,
                                  plat::WS_MAXIMIZE | plat::WS_CLIPCHILDREN | plat::WS_CLIPSIBLINGS,
                                  frame.left, frame.top, w, h, application->GetHWND(), nullptr, 0);
  plat::WNDCLASSA wc{};
  wc.lpfnWndProc = ppWindow::ChildProc;
  wc.lpszClassName = kStandaloneClass;
  plat::RegisterClassA(&wc);
  return plat::CreateWindowExA(0, kStandaloneClass, "", plat::WS_POPUP | plat::WS_VISIBLE, frame.left,
                               frame.top, w, h, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

zelvproWindow::zelvproWindow(const plat::RECT& frame, Parts parts)
    : ppPrinting(this),
      parts_(std::move(parts)),
      document_(parts_.document != nullptr ? parts_.document : &iDocumentCommands::Neutral()),
      services_(parts_.application, *document_) {
  MakeWindow(this, frame);
  SetOwnsWindow(true);
  plat::RECT client{};
  plat::GetClientRect(GetHWND(), &client);
  SetFrame(client);
  for (int32_t i = 0; i < kGreyCount; ++i) greys_[i] = ppRGBColor{kGreys[i], kGreys[i], kGreys[i]};
  iElementHost::Install(this);
  CanvasTaskFactory::InstallDefault();
  tips_ = std::make_unique<ToolTipControl>(this);
  ToolTipControl::SetDocumentTips(tips_.get());
  Build(GetFrame());
  SetDocumentColorTable(greys_);
  StartDocument(parts_.commandLine);
  if (DocumentRecordFile != nullptr && GetHWND() != nullptr) {
    DocumentRecordFile->StartAutoSaveThread(*this, parts_.frame, parts_.autoSaveWaiter);
    autoSaveStarted_ = true;
  }
  if (GetHWND() != nullptr) plat::SetFocus(GetHWND());
  Activate();
  palette_->RestoreScrollFor(zelvproViewBar::kRoomDesignView);

  background_ = new qxBkGndView(nullptr);
  plat::RECT back = GetFrame();
  ++back.right, ++back.bottom;
  background_->SetFrame(back);
  InsertSubview(background_, 0);
  for (ppView* view : {static_cast<ppView*>(configuratorPane_), static_cast<ppView*>(editorCanvas_->Editor()),
                       static_cast<ppView*>(palette_)})
    background_->Exclude(view);
  background_->ShowThrough(editorCanvas_->Editor()->CornerPane());
  new ppFillAdorner(background_, kBackgroundPicture);
}

void zelvproWindow::Build(const plat::RECT& f) {
  plat::RECT p{f.left, f.bottom - kPaletteHeight, f.right + 1, f.bottom};
  const bool overview = (Flags1() & kOverviewFlag) != 0;
  if (overview) p.top = f.bottom - kOverviewPaletteHeight;
  palette_ = new zelvproElementPalette(this, p, overview);

  const plat::RECT barFrame{f.left, f.top, f.right + 1, f.top + 62};
  const plat::RECT m{f.left, f.top + 59, f.right + 1, p.top - 1};
  plat::RECT e{m.left + 10, m.top + 5, m.right - 200, m.bottom};
  plat::RECT g{e.right + 2, m.top + 5, m.right - 8, m.bottom - 5};
  plat::RECT h{m.left, m.top, m.right - 200, m.bottom};
  if ((Flags1() & kConfiguratorLeftFlag) != 0) {
    const int32_t dx = g.right - e.right + 2, gx = g.left - e.left;
    e.left += dx + 5, e.right += dx;
    h.left += dx + 5, h.right += dx;
    g.left -= gx, g.right -= gx;
  }
  editorCanvas_ = new zelvproEditorCanvas(this, e, parts_.catalogue);
  configuratorPane_ = new zelvproConfiguratorPane(this, g);

  // The price list lists from the main catalogue; without one the view stays a plain, empty one.
  if (parts_.catalogue != nullptr) {
    calculator_ = new zelvproCalculatorCanvas(this, h, *parts_.catalogue);
    calculation_ = calculator_;
  } else {
    calculation_ = new ppView(this);
    calculation_->SetFrame(h);
  }
  calculation_->Hide();
  calculation_->DetachFromSupervisor();

  // The 3D canvas waits until it is first needed (the first frame never shows it): the window stands
  // in for its document view-point step till then.
  builtFrame_ = f;
  canvasFrame_ = h;
  if (!parts_.make3DCanvas) {
    canvas3D_ = new ppView(this);
    canvas3D_->SetFrame(h);
    canvas3D_->Hide();
    canvas3D_->DetachFromSupervisor();
  } else if (DocumentRecordFile != nullptr) {
    DocumentRecordFile->SetViewPoints(this);
  }

  viewBar_ = new zelvproViewBar(this, barFrame, palette_, editorCanvas_, calculation_, canvas3D_, &services_,
                                editorCanvas_->Editor());
  if (canvas3D_ == nullptr) viewBar_->SetCanvas3DMaker([this] { return Canvas3DView(); });
  viewBar_->SetEditor(editorCanvas_->Editor());
  if (calculator_ != nullptr) {
    // Without an application database the item list has no default panel: the canvas's own stands.
    services_.SetItemListPanel([this] { calculator_->ShowConfigurator(); });
    // The pane is no iEditorListPrint: the scroller prints view 2012 from the current pane itself.
  }
  editorCanvas_->Invalidate();
  editorCanvas_->AddToolTips(0);
  if (gApplication != nullptr) gApplication->SetTarget(this);
}

void zelvproWindow::StartDocument(const std::string& commandLine) {
  if (commandLine.empty()) return document_->ResumeFromAutoSave();
  auto* file = new DocumentFileRecord(DocumentPathFromCommandLine(commandLine));
  if (GetHWND() == nullptr ||
      !plat::PostMessageA(GetHWND(), plat::WM_COMMAND, kOpenFile, reinterpret_cast<plat::LPARAM>(file)))
    delete file;
}

ppView* zelvproWindow::Canvas3DView() {
  // While the canvas is being made its pane already asks the window: it answers as without one.
  if (canvas3D_ != nullptr || !parts_.make3DCanvas || making3D_) return canvas3D_;
  // The maker places the canvas in the current element host: this window, whichever is current.
  // The host and the flag come back however the maker ends, an exception included.
  struct Making {
    zelvproWindow& window;
    iElementHost& host = iElementHost::Current();
    explicit Making(zelvproWindow& w) : window(w) {
      iElementHost::Install(&window);
      window.making3D_ = true;
    }
    ~Making() {
      window.making3D_ = false;
      iElementHost::Install(&host);
    }
  };
  {
    const Making making(*this);
    canvas3D_ = parts_.make3DCanvas(canvasFrame_);
  }
  if (canvas3D_ == nullptr) {
    canvas3D_ = new ppView(this);
    canvas3D_->SetFrame(canvasFrame_);
    canvas3D_->Hide();
  } else if (auto* scene = dynamic_cast<zelvpro3DCanvas*>(canvas3D_)) {
    scene->HideAsMade();
  } else {
    canvas3D_->Hide();
  }
  canvas3D_->DetachFromSupervisor();
  const plat::RECT now = GetFrame();
  const int32_t dx = (now.right - now.left) - (builtFrame_.right - builtFrame_.left);
  const int32_t dy = (now.bottom - now.top) - (builtFrame_.bottom - builtFrame_.top);
  if (dx != 0 || dy != 0) canvas3D_->SupervisorResized(dx, dy);
  if (viewBar_ != nullptr) viewBar_->SetCanvas3D(canvas3D_);
  return canvas3D_;
}

void zelvproWindow::AfterOpen(zelvproDocFil& /*document*/) { zelvpro3DCanvas::TakeOpenedViewPoints(); }

void zelvproWindow::BeforePacking(zelvproDocFil& /*document*/) { zelvpro3DCanvas::KeepCameraForPacking(); }

zelvproWindow::~zelvproWindow() {
  if (DocumentRecordFile != nullptr && DocumentRecordFile->ViewPoints() == this)
    DocumentRecordFile->SetViewPoints(nullptr);
  if (autoSaveStarted_ && DocumentRecordFile != nullptr) DocumentRecordFile->StopAutoSaveThread();
  if (ToolTipControl::DocumentTips() == tips_.get()) ToolTipControl::SetDocumentTips(nullptr);
  tips_.reset();
  // The background reads the frames of the panes it leaves out whenever it is invalidated: it goes
  // before them (the window's own end hides and invalidates what is left).
  delete background_;
  background_ = nullptr;
  delete editorCanvas_;
  editorCanvas_ = nullptr;
  delete canvas3D_;
  canvas3D_ = nullptr;
  delete viewBar_;
  viewBar_ = nullptr;
  delete palette_;
  palette_ = nullptr;
  delete calculation_;
  calculation_ = nullptr;
  if (DocumentColorTable() == greys_) SetDocumentColorTable(nullptr);
  if (gApplication != nullptr && gApplication->GetTarget() == this) gApplication->SetTarget(nullptr);
  if (&iElementHost::Current() == this) iElementHost::Install(nullptr);
  iElementTaskFactory::Install(nullptr);
}

// ---- Commands and messages.

void zelvproWindow::DoCommand(int32_t command, intptr_t parameter) {
  switch (command) {
    case kNew:
      return document_->NewDocument();
    case kOpen:
      return document_->OpenWithDialog();
    case kSave:
      return document_->Save();
    case kSaveAs:
      return document_->SaveAs(CurrentViewId());
    case kExport:
      return document_->ExportText();
    case kPrintSetup:
      RunPageSetup();
      return;
    case kPrint:
      return PrintForView();
    case kPrintLandscape:
      return PrintWith(kLandscape, false);
    case 3033:
    case 3049:
      return TopCanvasCommand(command, parameter);
    case kOpenFile: {
      // The poster made the record for this command alone: it goes once the command ran.
      std::unique_ptr<DocumentFileRecord> file(reinterpret_cast<DocumentFileRecord*>(parameter));
      if (file != nullptr) RunRemoteCommand(*file);
      return;
    }
    case kExportElevationPictures:
      if (auto* top = dynamic_cast<zelvproTopCanvas*>(TopCanvas())) top->ExportElevationPictures();
      return;
    case kIgnored:
      return;
    case kWriteAutoSave:
      return document_->WriteAutoSave();
    case kSceneDisplayFlag:
      return ToggleHiddenFronts();
    case kPaletteCommand:
      return palette_->DoCommand(command, parameter);
    // The view switches go to the view bar whichever pane has the keys: the plan canvas would hand
    // them there, but the 3D pane hands them to the application, whose target is this window.
    case zelvproViewBar::kRoomDesignCommand:
    case zelvproViewBar::kTopViewCommand:
    case zelvproViewBar::kTopColourCommand:
    case zelvproViewBar::k3DCommand:
    case zelvproViewBar::kItemListCommand:
      if (viewBar_ != nullptr) viewBar_->DoCommand(command, 0);
      return;
    default:
      return ppWindow::DoCommand(command, parameter);
  }
}

void zelvproWindow::RunRemoteCommand(const DocumentFileRecord& file) {
  const std::u16string text(file.path);
  const RemoteCommandText::Command command = RemoteCommandText::Parse(text, NamesExistingFile);
  if (command.open) {
    ShowApplicationFrame();
    return document_->OpenFile(file);
  }
  switch (command.letter) {
    case u'o':
    case u'n': {
      // The second argument names the document; the others are read and not used.
      const std::u16string& path = command.arguments[1];
      if (path.empty()) {
        document_->NewDocument();
      } else {
        const DocumentFileRecord named{Vcon::WString(path)};
        document_->OpenFile(named);
      }
      return ShowApplicationFrame();
    }
    case u'b':
    case u'd':
      document_->NewDocument();
      plat::MessageBoxW(GetHWND(), RemoteCommandText::ReportText(command).c_str(),
                        RemoteCommandText::kReportCaption, plat::MB_OK);
      return;
    default:
      return;
  }
}

int32_t zelvproWindow::HandleMessage(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam) {
  switch (message) {
    // The framework's window has no case for becoming current: the window then becomes the key
    // target itself.
    case plat::WM_ACTIVATE:
      if (plat::LOWORD(wParam) != plat::WA_INACTIVE)
        Activate();
      else
        Deactivate();
      return ppWindow::HandleMessage(message, wParam, lParam);
    case plat::WM_MDIACTIVATE:
      if (reinterpret_cast<plat::HWND>(lParam) == GetHWND())
        Activate();
      else if (reinterpret_cast<plat::HWND>(wParam) == GetHWND())
        Deactivate();
      return ppWindow::HandleMessage(message, wParam, lParam);
    case plat::WM_CLOSE:
      if (gApplication != nullptr) gApplication->Quit();
      return 1;
    case plat::WM_NOTIFY: {
      const auto* header = reinterpret_cast<const plat::NMHDR*>(lParam);
      if (header != nullptr && (int32_t(header->code) == kSwallowedA || int32_t(header->code) == kSwallowedB))
        return 0;
      return ppWindow::HandleMessage(message, wParam, lParam);
    }
    case plat::WM_CONTEXTMENU: {
      ppWindow::HandleMessage(message, wParam, lParam);
      // The screen point: two signed 16-bit halves (negative on a screen left of or above the first).
      plat::POINT screen{int16_t(lParam & 0xFFFF), int16_t((lParam >> 16) & 0xFFFF)};
      plat::POINT origin{0, 0};
      plat::ClientToScreen(GetHWND(), &origin);
      ppView* view = FindViewAt(screen.x - origin.x, screen.y - origin.y);
      if (view == nullptr || view == this) return 0;
      view->DoCommand(kContextCommand, reinterpret_cast<intptr_t>(&screen));
      return 1;
    }
    default:
      return ppWindow::HandleMessage(message, wParam, lParam);
  }
}

// The editor canvas has no key target of its own: the window's target is the canvas of the current
// view, which greys the edit items (the 3D canvas asks the plan's).
void zelvproWindow::UpdateTargetMenus() { ppEventHandler::UpdateTargetMenus(); }

void zelvproWindow::KeyDown(signed char key, int32_t flags) { ppEventHandler::KeyDown(key, flags); }

void zelvproWindow::Activate() { ppWindow::Activate(); }

bool zelvproWindow::CanClose() {
  if (!document_->AskSaveChanges()) return false;
  document_->CloseFile();
  return true;
}

bool zelvproWindow::PrintPage(int32_t /*page*/, ppDC* dc) {
  zelvproEditorScroller* scroller = editorCanvas_->Editor()->EditorScroller();
  if (scroller == nullptr || dc == nullptr) return false;
  return scroller->Print(*dc, 0) != 0;
}

bool zelvproWindow::AskDrawingScale() {
  if (Preferences().unitSystem == kUnitImperial) {
    zelvproInchScaleDialog dialog(GetHWND(), &drawingScale_, &layoutChoice_);
    return dialog.RunModal() == 1;
  }
  zelvproMetricScaleDialog dialog(GetHWND(), &drawingScale_, &layoutChoice_);
  return dialog.RunModal() == 1;
}

void zelvproWindow::PrintForView() {
  switch (CurrentViewId()) {
    case kItemListView:
      return PrintWith(kPortrait, false);
    case k3DView:
      return PrintWith(kLandscape, false);
    case 2004:
    case 2016:
    case 2020:
    case 2056:
      if (!AskDrawingScale()) return;
      return PrintWith(kLandscape, layoutChoice_ == 1);
    default:
      return PrintWith(0, false);
  }
}

void zelvproWindow::PrintWith(int32_t orientation, bool elevations) {
  // The editor lays out the page: it must know, for this job only, that the full report is asked.
  zelvproEditorScroller* scroller =
      editorCanvas_ != nullptr ? editorCanvas_->Editor()->EditorScroller() : nullptr;
  elevationPrint_ = elevations;
  if (scroller != nullptr) scroller->SetElevationPrint(elevations);
  PrintDocument(orientation);
  elevationPrint_ = false;
  if (scroller != nullptr) scroller->SetElevationPrint(false);
}

// ---- iElementHost.

int32_t zelvproWindow::CurrentViewId() {
  return viewBar_ != nullptr ? viewBar_->CurrentViewId() : iElementHost::CurrentViewId();
}

zelvproElement* zelvproWindow::TopCanvas() {
  zelvproEditorScroller* s = editorCanvas_ != nullptr ? editorCanvas_->Editor()->EditorScroller() : nullptr;
  return s != nullptr ? s->TopCanvas() : nullptr;
}

zelvproElement* zelvproWindow::NewRoomCanvas() {
  zelvproEditorScroller* s = editorCanvas_ != nullptr ? editorCanvas_->Editor()->EditorScroller() : nullptr;
  return s != nullptr ? s->NewRoomCanvas() : nullptr;
}

zelvproLayerPalette* zelvproWindow::LayerPalette() { return viewBar_; }

ppEventHandler* zelvproWindow::EditorCanvas() { return editorCanvas_; }

ppEventHandler* zelvproWindow::Canvas3D() { return Canvas3DView(); }

void zelvproWindow::ShowDefaultConfigurator() {
  if (viewBar_ != nullptr) viewBar_->ShowDefaultConfiguratorForViewMode();
}

zelvproTagFil* zelvproWindow::TagTable() {
  return DocumentRecordFile != nullptr ? &DocumentRecordFile->TagTable() : nullptr;
}

void zelvproWindow::MarkDocumentModified() {
  if (DocumentRecordFile != nullptr) DocumentRecordFile->MarkModified();
}

void zelvproWindow::EnableMenuItem(int32_t command, bool enabled) {
  if (gApplication == nullptr || gApplication->FrameMenu() == nullptr) return;
  plat::EnableMenuItem(gApplication->FrameMenu(), plat::UINT(command),
                       plat::MF_BYCOMMAND | (enabled ? plat::MF_ENABLED : plat::MF_GRAYED));
}

void zelvproWindow::CheckMenuItem(int32_t command, bool checked) {
  if (gApplication == nullptr || gApplication->FrameMenu() == nullptr) return;
  plat::CheckMenuItem(gApplication->FrameMenu(), plat::UINT(command),
                      plat::MF_BYCOMMAND | (checked ? plat::MF_CHECKED : plat::MF_UNCHECKED));
}

// Menu item 3048 carries the check mark of hidden fronts, which the 3D canvas's two fronts buttons
// set: the command presses the other one, so that the buttons, the pane and the mark agree.
void zelvproWindow::ToggleHiddenFronts() {
  auto* scene = dynamic_cast<zelvpro3DCanvas*>(Canvas3DView());
  if (scene == nullptr) return;
  ppButton* other = scene->HideFronts() != 0 ? scene->ShowFrontsButton() : scene->HideFrontsButton();
  if (other != nullptr) scene->DoCommand(zelvpro3DCanvas::kPressed, reinterpret_cast<intptr_t>(other));
}

// The elements' regions are their outline polygons, whose right and bottom edge pixels a polygon
// region leaves out while the outline is stroked on them, and the smoothed slanted edges of a turned
// outline tint one pixel beyond those: the repaint takes two pixels more on every side, so that
// nothing of a moved, turned or deleted element stays behind or is left undrawn.
void zelvproWindow::InvalidatePlanEditor(ppRegion& region) {
  if (editorCanvas_ == nullptr) return;
  ppRegion widened(region);
  for (const bool across : {true, false}) {
    const ppRegion before(widened);
    for (const int32_t step : {-2, -1, 1, 2}) {
      ppRegion moved(before);
      moved.Offset(across ? step : 0, across ? 0 : step);
      widened.Union(moved);
    }
  }
  editorCanvas_->Editor()->InvalidateRegion(&widened);
}

// ---- i3DPaneHost.

void zelvproWindow::TopCanvasCommand(int32_t command, intptr_t argument) {
  if (zelvproElement* top = TopCanvas()) top->DoCommand(command, argument);
}

void zelvproWindow::TopCanvasAfterEdit() {
  if (zelvproElement* top = TopCanvas()) top->Invalidate();
}

void zelvproWindow::ApplicationCommand(int32_t command, intptr_t argument) {
  if (gApplication != nullptr) gApplication->DoCommand(command, argument);
}

bool zelvproWindow::CommandOptionOn() { return iApplicationSettings::Current().roomDesign; }

void zelvproWindow::PostUndoTask(intptr_t task) { TopCanvasCommand(zelvproCanvas::kPostTask, task); }

void zelvproWindow::EditorRefresh() {
  if (editorCanvas_ != nullptr) editorCanvas_->Editor()->Invalidate();
}

void zelvproWindow::RulerBroadcast() { RefreshRulers(); }

void zelvproWindow::RefreshRulers() {
  if (editorCanvas_ != nullptr) editorCanvas_->Editor()->RefreshRulers();
}

float zelvproWindow::RoomHeight() {
  auto* room = dynamic_cast<qxNewRoomCanvas*>(NewRoomCanvas());
  auto* floor = room != nullptr ? dynamic_cast<qxFloorElement*>(room->FindFloor()) : nullptr;
  if (floor == nullptr) return 0;
  // The process-wide value follows the floor last rebuilt in 3D; the walls may have changed since.
  floor->UpdateLowestWallHeight();
  // A floor without a cycle leaves the value unset (-1); one without walls, at the search's far start.
  const float lowest = LowestWallHeight();
  return lowest > 0.0f && lowest < kNoWallHeight ? lowest : 0.0f;
}

void zelvproWindow::FloorExtent(float* x, float* z) {
  auto* room = dynamic_cast<qxNewRoomCanvas*>(NewRoomCanvas());
  const ppVector2 size = room != nullptr ? room->GetFloorExtent() : ppVector2(0, 0);
  *x = size.x, *z = size.y;
}

ppFloat4 zelvproWindow::SettingsColor(int32_t id) {
  return gApplication != nullptr ? gApplication->GetColorF(id) : ppFloat4(1, 1, 1, 1);
}

void zelvproWindow::SetSettingsColor(int32_t id, const ppFloat4& color) {
  if (gApplication != nullptr) gApplication->SetColorF(id, color);
}

int32_t zelvproWindow::PrintResolution() { return PrintResolutionHook::Resolution(); }

bool zelvproWindow::DocumentNamed() {
  return DocumentRecordFile != nullptr && DocumentRecordFile->IsSavedOnce();
}

std::string zelvproWindow::DocumentPath() {
  if (DocumentRecordFile == nullptr) return {};
  return Vcon::Utf8FromUtf16(DocumentRecordFile->DocumentFile().path);
}

// ---- i3DPaneHost: the 3D canvas's entries.

void zelvproWindow::AddSceneParts(ppScene& scene) {
  if (i3DPaneHost* h = Scene3D()) h->AddSceneParts(scene);
}

void zelvproWindow::AddRoomSceneParts(ppScene& scene) {
  if (i3DPaneHost* h = Scene3D()) h->AddRoomSceneParts(scene);
}
void zelvproWindow::RunPendingUpdates() {
  if (i3DPaneHost* h = Scene3D()) h->RunPendingUpdates();
}
i3DPaneElement* zelvproWindow::ElementForPickName(uint32_t name) {
  i3DPaneHost* h = Scene3D();
  return h != nullptr ? h->ElementForPickName(name) : nullptr;
}
ppBounds3 zelvproWindow::CanvasBounds(float factor) {
  i3DPaneHost* h = Scene3D();
  return h != nullptr ? h->CanvasBounds(factor) : ppBounds3();
}
qxEyePlacement::Corners zelvproWindow::RoomCorners() {
  i3DPaneHost* h = Scene3D();
  return h != nullptr ? h->RoomCorners() : qxEyePlacement::Corners{};
}
void zelvproWindow::SetHitElement(i3DPaneElement* element) {
  if (i3DPaneHost* h = Scene3D()) h->SetHitElement(element);
}
std::vector<i3DPaneElement*> zelvproWindow::Selection() {
  i3DPaneHost* h = Scene3D();
  return h != nullptr ? h->Selection() : std::vector<i3DPaneElement*>{};
}
void zelvproWindow::ShowConfiguratorForElement(i3DPaneElement* element) {
  if (i3DPaneHost* h = Scene3D()) h->ShowConfiguratorForElement(element);
}
bool zelvproWindow::ToolModeActive() {
  i3DPaneHost* h = Scene3D();
  return h != nullptr && h->ToolModeActive();
}
bool zelvproWindow::ToolModeSelects() {
  i3DPaneHost* h = Scene3D();
  return h != nullptr && h->ToolModeSelects();
}
void zelvproWindow::EndToolMode() {
  if (i3DPaneHost* h = Scene3D()) h->EndToolMode();
}
int32_t zelvproWindow::ToolModeCursor() {
  i3DPaneHost* h = Scene3D();
  return h != nullptr ? h->ToolModeCursor() : -1;
}
uint32_t zelvproWindow::ViewFlags() {
  i3DPaneHost* h = Scene3D();
  return h != nullptr ? h->ViewFlags() : 0;
}
void zelvproWindow::SelectViewPreset(uint32_t flags) {
  if (i3DPaneHost* h = Scene3D()) h->SelectViewPreset(flags);
}
void zelvproWindow::StartMoveTask(const std::vector<i3DPaneElement*>& selection, i3DPaneElement* element,
                                  int32_t x, int32_t y, bool dragger) {
  if (i3DPaneHost* h = Scene3D()) h->StartMoveTask(selection, element, x, y, dragger);
}
void zelvproWindow::PrepareAltDrag() {
  if (i3DPaneHost* h = Scene3D()) h->PrepareAltDrag();
}
void zelvproWindow::RotateSelection(float angle) {
  if (i3DPaneHost* h = Scene3D()) h->RotateSelection(angle);
}
