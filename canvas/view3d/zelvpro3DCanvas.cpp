#include "canvas/view3d/zelvpro3DCanvas.h"

#include "canvas/view3d/zelvpro3DDraggerTask.h"
#include "canvas/view3d/zelvpro3DMoverTask.h"
#include "elements/base/iElementTaskFactory.h"

#include <algorithm>
#include <string>
#include <utility>

#include "canvas/view3d/zelvproButtonSlider.h"
#include "canvas/view3d/zelvproSliderButton.h"
#include "canvas/view3d/zelvproViewPointButton.h"
#include "canvas/window/zelvproRotatePanel.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproDocFil.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproPaneElement.h"
#include "elements/topview/iConfigurator.h"
#include "foundation/TextsById.h"
#include "foundation/ppMatrix4.h"
#include "framework/ToolTipControl.h"
#include "framework/ppButton.h"
#include "framework/ppFrameAdorner.h"
#include "platform/ResetList.h"
#include "platform/WindowApi.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "scene3d/context/ppScene.h"
#include "scene3d/panes/qxCameraRecords.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace {

zelvpro3DCanvas* gCanvas = nullptr;  // user-interface thread
// The process's camera stands where the open document's view point or a home fit put it; false
// until then, so the first 3D view shown fits the room. User-interface thread.
bool gCameraPlaced = false;

[[maybe_unused]] const bool kRegistered = [] {
  plat::ResetList::Add("current 3D canvas", [] {
    gCanvas = nullptr;
    gCameraPlaced = false;
  });
  return true;
}();

constexpr int32_t kCut = 33, kCopy = 34, kPaste = 35;
constexpr int32_t kRotationSliderId = 6, kTiltSliderId = 7, kDistanceSliderId = 8;
constexpr int32_t kHomeKey = 36;
// GetBounds flags that ask an element for its cached own box.
constexpr int32_t kOwnBox = 0x240;
// Mode bits of view point k.
constexpr uint32_t Mode2Bit(int32_t k) { return 0x10000u << k; }
constexpr uint32_t Mode1Bit(int32_t k) { return 0x80000u << k; }

// The render-mode groups (no view makes their buttons yet) and the pane commands they give.
constexpr int32_t kGroupA[] = {2241, 2245, 2249}, kGroupACommands[] = {3072, 3071, 3070};
constexpr int32_t kGroupB[] = {2253, 2257, 2261}, kGroupBCommands[] = {3074, 3075, 3076};

// One view-point block of the document record: five doubles.
struct Block {
  RecordField tilt, rotation, x, y, z;
  Block(const ppDatafile& file, int32_t k)
      : tilt(file, ("viewPointTilt" + std::to_string(k)).c_str()),
        rotation(file, ("viewPointRotation" + std::to_string(k)).c_str()),
        x(file, ("viewPointX" + std::to_string(k)).c_str()),
        y(file, ("viewPointY" + std::to_string(k)).c_str()),
        z(file, ("viewPointZ" + std::to_string(k)).c_str()) {}
};

// Whether view-point block `k` of the open document holds a camera: an all-zero block (a camera at
// the plan's origin on the floor, looking level) is what a document that never stored one carries.
bool BlockStored(int32_t k) {
  if (DocumentRecordFile == nullptr) return false;
  const Block b(*DocumentRecordFile, k);
  const char* record = DocumentRecordFile->Record();
  for (const RecordField* f : {&b.tilt, &b.rotation, &b.x, &b.y, &b.z})
    if (f->Double(record) != 0.0) return true;
  return false;
}

int32_t IndexIn(const int32_t (&ids)[3], int32_t id) {
  for (int32_t i = 0; i < 3; ++i)
    if (ids[i] == id) return i;
  return -1;
}

// `horizontal`: the button keeps its distance from the canvas's right edge (kMove) or left (kStay).
ppButton* MakeButton(ppView* canvas, const plat::RECT& frame, int32_t id, int32_t kind, int8_t horizontal) {
  auto* button = new ppButton(canvas, &frame, id, horizontal, ppView::kMove, kind);
  button->SetCommandId(id);
  return button;
}

}  // namespace

zelvpro3DCanvas::zelvpro3DCanvas(ppView* supervisor, const plat::RECT& frame, zelvDatabase* database,
                                 i3DPaneHost* host)
    : zelvproCanvas(supervisor, frame, database) {
  // The canvas fills the document window's work area at every size the window is given.
  SetBinding(kStretch, kStretch);
  SetFrame(frame);
  gCanvas = this;
  if (host == nullptr) host = dynamic_cast<i3DPaneHost*>(supervisor);
  if (host == nullptr) host = this;
  const int32_t w = Width(), h = Height();
  const plat::RECT paneRect{frame.left + 10, frame.top + 4, frame.right - 30, frame.bottom - 30};
  if (GetHWND() != nullptr) pane_ = zelvpro3DPane::Create(GetHWND(), paneRect, host);
  if (pane_ != nullptr) paneWindow_ = pane_->GetHWND();

  const plat::RECT local{10, 4, w - 30, h - 30};
  frameView_ = new ppView(this, kStretch, kStretch);
  frameView_->SetFrame({local.left - 2, local.top - 2, local.right + 2, local.bottom + 2});
  new ppFrameAdorner(frameView_, kFramePicture, 0);

  // Along the bottom edge: rotation panel and the fronts pair at the left; the rotation and distance
  // sliders, the zoom and home buttons at the right; the tilt slider stands at the right of the pane,
  // at its foot. The sliders and buttons at the right follow the bottom right corner, so that at any
  // size of the window they stay clear of the fronts pair and on the canvas.
  rotationSlider_ =
      new zelvproButtonSlider(this, {w - 260, h - 26, w - 180, h - 2}, zelvproBasicSlider::kWrapAround, this,
                              kRotationUp, kRotationDown, kMove, kMove);
  distanceSlider_ = new zelvproButtonSlider(this, {w - 170, h - 26, w - 90, h - 2}, 0, this, kDistanceUp,
                                            kDistanceDown, kMove, kMove);
  tiltSlider_ = new zelvproButtonSlider(this, {w - 26, h - 110, w - 2, h - 30}, zelvproBasicSlider::kVertical,
                                        this, kTiltUp, kTiltDown, kMove, kMove);
  const struct {
    zelvproButtonSlider* slider;
    int32_t id, maximum, minimum, value;
  } sliders[] = {{rotationSlider_, kRotationSliderId, 360, 0, 0},
                 {distanceSlider_, kDistanceSliderId, 250, 0, 250},
                 {tiltSlider_, kTiltSliderId, 90, 0, 90}};
  for (const auto& s : sliders) {
    s.slider->SetSliderId(s.id);
    s.slider->SetMaximum(s.maximum);
    s.slider->SetMinimum(s.minimum);
    s.slider->SetValue(s.value);
  }
  // The camera reads the sliders' values from them: the home button sets them back without a move.
  if (pane_ != nullptr) pane_->SetSliderLinks(rotationSlider_, tiltSlider_, distanceSlider_);
  viewPointButton_ =
      new zelvproViewPointButton(this, {w - 26, h - 26, w - 2, h - 2}, kHomeButton, kMove, kMove);
  zoomModeButton_ =
      MakeButton(this, {w - 56, h - 26, w - 32, h - 2}, kZoomModeButton, ppButton::kToggle, kMove);
  rotatePanel_ = new zelvproRotatePanel(this, {10, h - 26, 120, h - 1});
  rotatePanel_->Disable();
  // The fronts pair stays beside the rotation panel, at the left.
  showFrontsButton_ = MakeButton(this, {130, h - 26, 154, h - 2}, kShowFrontsButton, ppButton::kPush, kStay);
  hideFrontsButton_ = MakeButton(this, {160, h - 26, 184, h - 2}, kHideFrontsButton, ppButton::kPush, kStay);
  showFrontsButton_->SetState(1);
  hideFrontsButton_->SetState(0);
  if (DocumentRecordFile != nullptr) DocumentRecordFile->SetViewPoints(this);
  AddToolTips(0);
}

zelvpro3DCanvas::~zelvpro3DCanvas() {
  if (sweeper_ != nullptr) sweeper_->Forget();
  RemoveToolTips();
  if (DocumentRecordFile != nullptr && DocumentRecordFile->ViewPoints() == this)
    DocumentRecordFile->SetViewPoints(nullptr);
  if (paneWindow_ != nullptr && plat::IsWindow(paneWindow_)) plat::DestroyWindow(paneWindow_);
  pane_ = nullptr;
  if (gCanvas == this) gCanvas = nullptr;
}

zelvpro3DCanvas* zelvpro3DCanvas::Current() { return gCanvas; }

std::function<ppView*(const plat::RECT&)> zelvpro3DCanvas::Maker(zelvDatabase* database) {
  return [database](const plat::RECT& frame) -> ppView* {
    auto* window = dynamic_cast<ppView*>(&iElementHost::Current());
    return new zelvpro3DCanvas(window, frame, database);
  };
}

void Release3DZoomModeButton() {
  if (zelvpro3DCanvas* canvas = zelvpro3DCanvas::Current()) canvas->ReleaseZoomModeButton();
}

zelvproElement* zelvpro3DCanvas::TopCanvasElement() const { return iElementHost::Current().TopCanvas(); }

// ---- Commands.

void zelvpro3DCanvas::DoCommand(int32_t command, intptr_t parameter) {
  switch (command) {
    case kCut:
    case kCopy:
    case kPaste:
      if (zelvproElement* top = TopCanvasElement()) top->DoCommand(command, parameter);
      return;
    case kSelectionChanged:
      if (rotatePanel_ != nullptr) ScheduleSelectionCheck();
      return;
    case kUseDefaultHome:
      SetCustomViewPoints(CustomViewPoints() | kDefaultHomeFlag);
      return;
    case kCaptureHome:
    case 4005:
    case 4006:
    case 4007: {
      uint32_t flags = CustomViewPoints();
      const int32_t k = command - kCaptureHome;
      WritePresetValues(k, k, flags);
      SetCustomViewPoints(flags);
      return;
    }
    case kPressed:
      PressButton(reinterpret_cast<ppButton*>(parameter));
      return;
    case kReleased: {
      auto* button = reinterpret_cast<ppView*>(parameter);
      if (button != nullptr && button->GetCommandId() == kZoomModeButton) zoomToObject_ = false;
      return;
    }
    default:
      if (pane_ != nullptr) pane_->DoCommand(command, parameter);
  }
}

void zelvpro3DCanvas::SwitchGroup(ppButton* button, ppButton*& current, int32_t command) {
  if (button == current) return;
  // With no current button yet nothing is switched off; the pressed one becomes current.
  if (current != nullptr && current->GetState() == 1) current->SetState(0);
  if (pane_ != nullptr) pane_->DoCommand(command, 0);
  if (button->GetState() == 0) button->SetState(1);
  current = button;
}

void zelvpro3DCanvas::PressButton(ppButton* button) {
  if (button == nullptr) return;
  const int32_t id = button->GetCommandId();
  if (int32_t i = IndexIn(kGroupA, id); i >= 0)
    return SwitchGroup(button, currentButtonA_, kGroupACommands[i]);
  if (int32_t i = IndexIn(kGroupB, id); i >= 0)
    return SwitchGroup(button, currentButtonB_, kGroupBCommands[i]);
  auto invalidatePane = [this] {
    if (pane_ != nullptr) pane_->Invalidate();
  };
  switch (id) {
    case kViewPoint0Button:
    case kViewPoint1Button:
    case kViewPoint2Button:
    case kViewPoint3Button:
      ApplyViewPoint(id);
      button->SetState(0);
      return;
    case kHomeButton:
      // The home view ends Zoom to Object: a press on a unit then selects and moves it again.
      ReleaseZoomModeButton();
      ApplyViewPoint(id);
      rotationSlider_->SetValue(0);
      tiltSlider_->SetValue(90);
      distanceSlider_->SetValue(250);
      button->SetState(0);
      return;
    case kZoomModeButton:
      zoomToObject_ = button->GetState() == 1;
      return;
    case kDrawingFlagButton:
      drawingFlag_ = button->GetState() != 0;
      invalidatePane();
      return;
    case kShowFrontsButton:
      hideFrontsButton_->SetState(0);
      showFrontsButton_->SetState(1);
      hideFronts_ = 0;
      invalidatePane();
      iElementHost::Current().CheckMenuItem(kFrontsMenuItem, false);
      return;
    case kHideFrontsButton:
      showFrontsButton_->SetState(0);
      hideFrontsButton_->SetState(1);
      hideFronts_ = 1;
      invalidatePane();
      iElementHost::Current().CheckMenuItem(kFrontsMenuItem, true);
      return;
    default:
      button->SetState(0);
      if (pane_ != nullptr) pane_->DoCommand(kPaneNavigate, id);
  }
}

void zelvpro3DCanvas::KeyDown(signed char key, int32_t flags) {
  if (pane_ != nullptr) pane_->KeyDown(key, flags);
}

void zelvpro3DCanvas::UpdateTargetMenus() {
  if (zelvproElement* top = TopCanvasElement()) top->UpdateTargetMenus();
}

// ---- View points.

uint32_t zelvpro3DCanvas::CustomViewPoints() {
  if (DocumentRecordFile == nullptr) return 0;
  return uint32_t(RecordField(*DocumentRecordFile, "customViewPoints").Long(DocumentRecordFile->Record()));
}

void zelvpro3DCanvas::SetCustomViewPoints(uint32_t flags) {
  if (DocumentRecordFile == nullptr) return;
  RecordField(*DocumentRecordFile, "customViewPoints").SetLong(DocumentRecordFile->Record(), int32_t(flags));
}

namespace {

// Makes the camera record of view point `kind`'s mode current and loads document block `block` into it.
void LoadPresetCamera(int32_t kind, int32_t block, uint32_t flags) {
  const int32_t mode = (flags & Mode2Bit(kind)) != 0 ? 2 : (flags & Mode1Bit(kind)) != 0 ? 1 : 0;
  qxCameraRecords::SetCurrent(mode);
  qxCamera& camera = *qxCameraRecords::Current();
  if (DocumentRecordFile != nullptr) {
    const Block b(*DocumentRecordFile, block);
    const char* record = DocumentRecordFile->Record();
    camera.pitch = float(-b.tilt.Double(record));
    camera.yaw = float(-b.rotation.Double(record));
    camera.position =
        ppVector3(float(-b.x.Double(record)), float(-b.y.Double(record)), float(-b.z.Double(record)));
  }
}

}  // namespace

void zelvpro3DCanvas::SelectViewPreset(int32_t kind, int32_t block, uint32_t flags) {
  LoadPresetCamera(kind, block, flags);
  if (pane_ != nullptr) pane_->Invalidate();
}

void zelvpro3DCanvas::WritePresetValues(int32_t kind, int32_t block, uint32_t& flags) {
  const qxCamera& camera = *qxCameraRecords::Current();
  if (DocumentRecordFile != nullptr) {
    const Block b(*DocumentRecordFile, block);
    char* record = DocumentRecordFile->Record();
    b.tilt.SetDouble(record, -double(camera.pitch));
    b.rotation.SetDouble(record, -double(camera.yaw));
    b.x.SetDouble(record, -double(camera.position.x));
    b.y.SetDouble(record, -double(camera.position.y));
    b.z.SetDouble(record, -double(camera.position.z));
  }
  flags |= kStoredFlag;
  if (kind == 0) flags &= ~kDefaultHomeFlag;
  switch (camera.kind) {
    case 0:
      flags &= ~(Mode2Bit(kind) | Mode1Bit(kind));
      break;
    case 1:
      flags = (flags & ~Mode2Bit(kind)) | Mode1Bit(kind);
      break;
    case 2:
      flags = (flags | Mode2Bit(kind)) & ~Mode1Bit(kind);
      break;
    default:
      break;
  }
}

void zelvpro3DCanvas::ApplyViewPoint(int32_t command) {
  const uint32_t flags = CustomViewPoints();
  switch (command) {
    case kViewPoint1Button:
    case kViewPoint2Button:
    case kViewPoint3Button: {
      const int32_t k = (command - kViewPoint0Button) / 4;
      return SelectViewPreset(k, k, flags);
    }
    case 0:
    case kViewPoint0Button:
    case kHomeButton:
      if (flags == 0 || (flags & kDefaultHomeFlag) != 0 || !BlockStored(0)) {
        if (pane_ != nullptr) pane_->KeyDown(static_cast<signed char>(kHomeKey), 0);
        viewReset_ = true;
        return;
      }
      return SelectViewPreset(0, 0, flags);
    default:
      return;
  }
}

void zelvpro3DCanvas::ReleaseZoomModeButton() {
  zoomToObject_ = false;
  if (zoomModeButton_ != nullptr) zoomModeButton_->SetState(0);
}

void zelvpro3DCanvas::TakeOpenedViewPoints() {
  // A document without a stored camera keeps the default one, fitted to its room when shown.
  gCameraPlaced = (CustomViewPoints() & kStoredFlag) != 0 && BlockStored(3);
  if (gCameraPlaced) LoadPresetCamera(3, 3, CustomViewPoints());
  uint32_t flags = CustomViewPoints();
  WritePresetValues(2, 2, flags);
  SetCustomViewPoints(flags);
}

void zelvpro3DCanvas::KeepCameraForPacking() {
  // A camera never placed for this document is the process's default, which knows nothing of its
  // room: storing it would open the document on it ever after (the demo's start plan opened looking
  // along its right wall). The document keeps the view point it had, and a first showing fits it.
  if (!gCameraPlaced) return;
  uint32_t flags = CustomViewPoints();
  WritePresetValues(3, 3, flags);
  SetCustomViewPoints(flags);
}

void zelvpro3DCanvas::AfterOpen(zelvproDocFil& /*document*/) {
  TakeOpenedViewPoints();
  // Only a shown view fits its camera now; a hidden one fits it when first shown. Fitting a hidden
  // one would store a camera the user never saw at the next save, and only on the second opening in
  // a run (this canvas is made after the first): the file would change at an unchanged save.
  if (IsShown()) PlaceCameraOnce();
  if (pane_ != nullptr) pane_->Invalidate();
}

void zelvpro3DCanvas::PlaceCameraOnce() {
  if (gCameraPlaced || pane_ == nullptr) return;
  gCameraPlaced = true;
  ApplyViewPoint(0);
}

void zelvpro3DCanvas::BeforePacking(zelvproDocFil& /*document*/) { KeepCameraForPacking(); }

uint32_t zelvpro3DCanvas::ViewFlags() {
  const uint32_t flags = CustomViewPoints();
  // The pane's own reset is the home view (also without a stored home camera): answer "fit".
  return (flags & kDefaultHomeFlag) != 0 || !BlockStored(0) ? 0 : flags;
}

void zelvpro3DCanvas::SelectViewPreset(uint32_t flags) { SelectViewPreset(0, 0, flags); }

// ---- Sliders.

zelvproButtonSlider* zelvpro3DCanvas::SliderById(int32_t id) const {
  for (zelvproButtonSlider* s : {rotationSlider_, tiltSlider_, distanceSlider_})
    if (s != nullptr && s->SliderId() == id) return s;
  return nullptr;
}

void zelvpro3DCanvas::SliderBegin(int32_t sliderId) {
  if (pane_ != nullptr) pane_->SliderShown(sliderId);
}

void zelvpro3DCanvas::SliderEnd(int32_t sliderId) {
  if (pane_ != nullptr) pane_->SliderReleased(sliderId);
}

void zelvpro3DCanvas::SliderChanged(int32_t /*delta*/, int32_t sliderId) {
  // The pane places the camera from the sliders' values.
  zelvproButtonSlider* slider = SliderById(sliderId);
  if (pane_ != nullptr && slider != nullptr) pane_->SliderMoved(slider->Value(), sliderId);
}

// ---- The rotation panel.

void zelvpro3DCanvas::ScheduleSelectionCheck() {
  if (sweeper_ != nullptr) return;
  plat::HWND window = GetHWND();
  if (window == nullptr) window = iElementHost::Current().DocumentWindow();
  if (window == nullptr) return UpdateRotatePanel();
  sweeper_ = new zelvproSelectionSweeper(window, this);
}

void zelvpro3DCanvas::SweeperGone(zelvproSelectionSweeper* sweeper) {
  if (sweeper_ == sweeper) sweeper_ = nullptr;
}

void zelvpro3DCanvas::UpdateRotatePanel() {
  if (rotatePanel_ == nullptr) return;
  ++selectionWalks_;
  rotatePanel_->FollowSelection(TopCanvasElement());
}

// ---- Showing, resizing, tips and the info panel.

void zelvpro3DCanvas::SupervisorResized(int32_t dx, int32_t dy) {
  RemoveToolTips();
  zelvproCanvas::SupervisorResized(dx, dy);
  if (pane_ != nullptr) pane_->SupervisorResized(dx, dy);
  AddToolTips(0);
}

void zelvpro3DCanvas::Show() {
  ppView::Show();
  if (pane_ != nullptr) pane_->Show();
  PlaceCameraOnce();
  rotatePanel_->Show();
  rotatePanel_->SupervisorResized(0, 0);
  Invalidate();
  AddToolTips(0);
}

void zelvpro3DCanvas::Hide() {
  // The camera goes into block 2; the document's flag word stays as it was.
  uint32_t scratch = 0;
  WritePresetValues(2, 2, scratch);
  HideAsMade();
}

void zelvpro3DCanvas::HideAsMade() {
  rotatePanel_->Hide();
  if (pane_ != nullptr) pane_->Hide();
  ppView::Hide();
  RemoveToolTips();
}

void zelvpro3DCanvas::UpdateTexts() {
  zelvproCanvas::UpdateTexts();
  RemoveToolTips();
  AddToolTips(0);
}

namespace {

struct TipRow {
  int32_t id, text, entry;
};
// The buttons' tips, then the sliders' halves.
constexpr TipRow kButtonTips[] = {{zelvpro3DCanvas::kHomeButton, 1111, 23},
                                  {zelvpro3DCanvas::kZoomModeButton, 1122, 34},
                                  {zelvpro3DCanvas::kShowFrontsButton, 6365, 50},
                                  {zelvpro3DCanvas::kHideFrontsButton, 6366, 51}};
constexpr TipRow kSliderTips[] = {{13027, 1116, 28}, {13026, 1117, 29},   // distance: first, middle
                                  {13021, 1115, 26}, {13022, 1114, 27},   // rotation
                                  {13024, 1120, 33}, {13025, 1121, 32}};  // tilt

}  // namespace

void zelvpro3DCanvas::AddToolTips(uint32_t /*word*/) {
  ToolTipControl* tips = ToolTipControl::DocumentTips();
  if (tips != nullptr) {
    ppView* buttons[] = {viewPointButton_, zoomModeButton_, showFrontsButton_, hideFrontsButton_};
    for (size_t i = 0; i < 4; ++i) {
      plat::RECT r;
      buttons[i]->GetWindowFrame(&r);
      tips->AddToolByTextId(this, kButtonTips[i].id, r, kTipList, kButtonTips[i].entry, kButtonTips[i].text);
    }
    zelvproButtonSlider* sliders[] = {distanceSlider_, rotationSlider_, tiltSlider_};
    for (size_t i = 0; i < 3; ++i) {
      plat::RECT r;
      sliders[i]->GetWindowFrame(&r);
      const bool vertical = (sliders[i]->Flags() & zelvproBasicSlider::kVertical) != 0;
      plat::RECT first = r, middle = r;
      if (vertical) {
        const int32_t mid = (r.top + r.bottom) / 2;
        first.bottom = r.top + 40, middle.top = mid, middle.bottom = mid + 40;
      } else {
        const int32_t mid = (r.left + r.right) / 2;
        first.right = r.left + 40, middle.left = mid, middle.right = mid + 40;
      }
      const TipRow& a = kSliderTips[2 * i];
      const TipRow& b = kSliderTips[2 * i + 1];
      tips->AddToolByTextId(this, a.id, first, kTipList, a.entry, a.text);
      tips->AddToolByTextId(this, b.id, middle, kTipList, b.entry, b.text);
    }
  }
  rotatePanel_->AddToolTips(0);
}

void zelvpro3DCanvas::RemoveToolTips() {
  if (ToolTipControl* tips = ToolTipControl::DocumentTips()) {
    for (const TipRow& row : kButtonTips) tips->RemoveTool(this, row.id);
    for (const TipRow& row : kSliderTips) tips->RemoveTool(this, row.id);
  }
  if (rotatePanel_ != nullptr) rotatePanel_->RemoveToolTips();
}

void zelvpro3DCanvas::BuildInfoPanel(qxViewHolder* /*source*/) {
  iConfigurator& configurator = iConfigurator::Current();
  configurator.RemoveAll();
  auto panel = std::make_unique<ConfigPanel>();
  panel->name = TextById(6315, "Canvas");
  for (int32_t id = 7030; id <= 7034; ++id) {
    ConfigField field;
    field.kind = ConfigField::kText;
    GetTextById(id, field.text);
    field.SetMargins(10, 5, 10, 0);
    panel->fields.push_back(std::move(field));
  }
  configurator.AddPanel(std::move(panel));
  configurator.PlaceTabs();
}

// ---- The scene.

void zelvpro3DCanvas::AddSceneParts(ppScene& scene) {
  scene.Add(this);
  // The room (wall bodies, floor slabs and the openings in the walls) stands under the units.
  if (zelvproElement* room = iElementHost::Current().NewRoomCanvas()) scene.Add(room);
  if (zelvproElement* top = TopCanvasElement()) scene.Add(top);
}

void zelvpro3DCanvas::AddRoomSceneParts(ppScene& scene) {
  scene.Add(this);
  if (zelvproElement* room = iElementHost::Current().NewRoomCanvas()) scene.Add(room);
}

void zelvpro3DCanvas::RunPendingUpdates() {
  std::function<void(zelvproElement*)> walk = [&](zelvproElement* e) {
    zelvproPaneElement::RunPendingOf(*e);
    ForEachChildElement(*e, walk);
  };
  if (zelvproElement* room = iElementHost::Current().NewRoomCanvas()) walk(room);
  if (zelvproElement* top = TopCanvasElement()) walk(top);
}

qxEyePlacement::Corners zelvpro3DCanvas::RoomCorners() {
  auto* room = dynamic_cast<qxNewRoomCanvas*>(iElementHost::Current().NewRoomCanvas());
  if (room == nullptr) return {};
  ppVector2 plan[4];
  room->ComputeBounds(plan);
  qxEyePlacement::Corners corners;
  for (size_t i = 0; i < corners.size(); ++i) corners[i] = {plan[i].x, plan[i].y};
  return corners;
}

i3DPaneElement* zelvpro3DCanvas::PaneElementFor(zelvproElement* element) {
  if (element == nullptr) return nullptr;
  std::unique_ptr<zelvproPaneElement>& slot = paneElements_[element];
  if (slot == nullptr) slot = std::make_unique<zelvproPaneElement>(element);
  return slot.get();
}

i3DPaneElement* zelvpro3DCanvas::ElementForPickName(uint32_t name) {
  zelvproElement* top = TopCanvasElement();
  if (top == nullptr || name == 0) return nullptr;
  zelvproElement* found = nullptr;
  // Depth first: a unit's parts load their own names, so the deepest match is the one drawn.
  std::function<void(zelvproElement*)> walk = [&](zelvproElement* e) {
    ForEachChildElement(*e, [&](zelvproElement* child) {
      if (found != nullptr) return;
      if (child->PickName() == name)
        found = child;
      else
        walk(child);
    });
  };
  walk(top);
  return PaneElementFor(found);
}

ppBounds3 zelvpro3DCanvas::CanvasBounds(float factor) {
  zelvproElement* top = TopCanvasElement();
  if (top == nullptr) return ppBounds3();
  // Gathered afresh from the units' own boxes: the canvas's cached own box is not renewed when units
  // are added, moved or removed below it. Each own box is measured again while its unit is marked
  // changed (the full box would clear the mark and leave the own box stale).
  ppBounds3 box;
  // The room from its outline, floor to the highest wall top: the wall bodies' own boxes are not
  // all in plan coordinates.
  if (auto* room = dynamic_cast<qxNewRoomCanvas*>(iElementHost::Current().NewRoomCanvas());
      room != nullptr && room->Cycles() != nullptr) {
    ppVector2 plan[4];
    room->ComputeBounds(plan);
    float height = 0.0f;
    ForEachChildElement(*room, [&](zelvproElement* child) {
      if (const auto* wall = dynamic_cast<const qxRoomSegment*>(child))
        height = std::max(height, wall->GetHeight());
    });
    box.AddPoint(ppVector3(plan[0].x, 0.0f, plan[0].y));
    box.AddPoint(ppVector3(plan[2].x, height, plan[2].y));
  }
  ForEachChildElement(*top, [&](zelvproElement* child) {
    ppMatrix4 placement;
    child->BuildPlacementMatrix(placement);
    box.AddBox(ppBounds3::Transformed(placement, child->GetBounds(0, kOwnBox)));
  });
  if (!box.IsEmpty()) box.half = ppVector3(box.half.x * factor, box.half.y * factor, box.half.z * factor);
  return box;
}

std::vector<i3DPaneElement*> zelvpro3DCanvas::Selection() {
  std::vector<i3DPaneElement*> out;
  zelvproElement* top = TopCanvasElement();
  qxViewHolder* chain = top != nullptr ? top->CollectSelection(nullptr, false) : nullptr;
  for (qxViewHolder* h = chain; h != nullptr; h = h->Next())
    if (h->Element() != nullptr) out.push_back(PaneElementFor(h->Element()));
  delete chain;
  return out;
}

void zelvpro3DCanvas::ShowConfiguratorForElement(i3DPaneElement* element) {
  auto* pane = dynamic_cast<zelvproPaneElement*>(element);
  if (pane != nullptr) pane->Element()->BuildInfoPanel(nullptr);
}

// ---- The 3D tasks.

void zelvpro3DCanvas::StartMoveTask(const std::vector<i3DPaneElement*>& selection, i3DPaneElement* element,
                                    int32_t x, int32_t y, bool dragger) {
  // The Alt press's pairs live only as long as this drag: never left behind for a later press.
  const std::vector<std::pair<zelvproElement*, zelvproElement*>> copies = std::move(altCopies_);
  altCopies_.clear();
  if (pane_ == nullptr) return;
  qxViewHolder* chain = nullptr;
  for (auto it = selection.rbegin(); it != selection.rend(); ++it)
    if (auto* unit = dynamic_cast<zelvproPaneElement*>(*it))
      chain = new qxViewHolder(unit->Element(), chain, true);
  if (chain == nullptr) return;
  auto* picked = dynamic_cast<zelvproPaneElement*>(element);
  zelvproElement* lead = picked != nullptr ? picked->Element() : nullptr;
  // After an Alt press the unit under the mouse is an original: its copy leads the drag.
  std::vector<zelvproElement*> originals;
  if (dragger) {
    for (const auto& [original, copy] : copies) {
      originals.push_back(original);
      if (original == lead) lead = copy;
    }
  }
  zelvproMouseTask* task = nullptr;
  if (dragger) {
    auto* placing = new zelvpro3DDraggerTask(chain, pane_, lead);
    if (!originals.empty()) placing->FollowFromPress(std::move(originals), altModifiedBefore_);
    task = placing;
  } else {
    task = new zelvpro3DMoverTask(chain, pane_, lead);
  }
  task->StartWithElement(x, y, nullptr);
}

void zelvpro3DCanvas::PrepareAltDrag() {
  auto* top = dynamic_cast<zelvproCanvas*>(TopCanvasElement());
  altCopies_.clear();
  if (top == nullptr) return;
  std::vector<zelvproElement*> originals;
  for (i3DPaneElement* e : Selection()) originals.push_back(static_cast<zelvproPaneElement*>(e)->Element());
  altModifiedBefore_ = DocumentRecordFile != nullptr && DocumentRecordFile->IsModified();
  top->SaveSelection();
  const ppTask* before = top->DoneTop();
  top->LoadDocumentModules(0);
  if (top->DoneTop() != before) top->Remove(nullptr);
  // The paste selected the copies, in the originals' order. Each is put where its original stands,
  // so that the press point lies on the copy as it did on the original.
  std::vector<zelvproElement*> made;
  for (i3DPaneElement* e : Selection()) made.push_back(static_cast<zelvproPaneElement*>(e)->Element());
  if (made.size() != originals.size()) return;
  for (size_t i = 0; i < made.size(); ++i) {
    zelvproElement* original = originals[i];
    zelvproElement* copy = made[i];
    if (copy == original) return;
    if (copy->GetSupervisor() == original->GetSupervisor()) {
      copy->SetPosition(original->GetPosition());
      copy->SetAngle(original->GetAngle());
    }
    altCopies_.emplace_back(original, copy);
  }
}

void zelvpro3DCanvas::RotateSelection(float angle) {
  auto* top = dynamic_cast<zelvproCanvas*>(TopCanvasElement());
  if (top == nullptr || angle == 0.0f) return;
  ppTask* task = iElementTaskFactory::Current().NewRotateTask2(top, top, angle, 0.0f, 0.0f);
  if (task == nullptr) return;
  top->Post(task);
  if (top->DoneTop() == task) task->Do();
}
