#include "canvas/editor/zelvproViewBar.h"

#include <algorithm>
#include <vector>

#include "canvas/editor/iViewBarEditor.h"
#include "canvas/editor/iViewBarServices.h"
#include "canvas/palette/zelvproElementPalette.h"
#include "elements/base/MenuCheckState.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/iElementHost.h"
#include "elements/base/iScenePane.h"
#include "elements/base/iWorktopBuilder.h"
#include "elements/base/zelvproCanvas.h"
#include "foundation/ProcessServices.h"
#include "foundation/ResourceAccess.h"
#include "foundation/ShellOpen.h"
#include "framework/ToolTipControl.h"
#include "framework/ppApplication.h"
#include "framework/ppButton.h"
#include "framework/ppFillAdorner.h"
#include "framework/qxLineAdorner.h"

namespace {

// Button layout, pixels: 48-pixel square buttons, view buttons 52 apart from (9, 7), tool buttons
// 72 further on each, the right-hand group 229 (34 with the logo at the left) before the right edge.
constexpr plat::RECT kFirstButton{9, 7, 57, 55};
constexpr int32_t kButtonSize = 48, kViewStep = 52, kToolStep = 72, kLogoLeftShift = 194;
constexpr int32_t kRightMargin = 229, kLogoLeftRightMargin = 34;

constexpr int32_t kDocumentLoadedChannel = 1000, kDocumentLoaded = 1000;
constexpr int32_t kPrintCommand = 19;
constexpr int32_t kLineColour = 10, kLineEdges = 2, kFillPicture = 1014;

// The tips: text id in the user's language, fallback entry (from 1) of the tool-tip word list.
constexpr int32_t kTipWordList = 2013;
struct Tip {
  int32_t button, textId, entry;
};
constexpr Tip kTips[] = {{2016, 3001, 1},  {2004, 3003, 3},  {2024, 3005, 5},
                         {2012, 3006, 6},  {2068, 3007, 11}, {2072, 8035, 12},
                         {2088, 6362, 47}, {2084, 6363, 48}, {2080, 6364, 49}};
// The settings file list and its inspiration folder entry.
constexpr uint16_t kSettingsFiles = 132;
constexpr int32_t kInspirationFolder = 16;

// What each view does to the menu: items unchecked, enabled and disabled, the item checked, the
// default configurator panel record and the message that announces the switch.
struct ViewMenu {
  int32_t view;
  std::vector<int32_t> unchecked, enabled, disabled;
  int32_t checked, panel, message;
};
const ViewMenu kViewMenus[] = {
    {2016,
     {3004, 3006, 3005, 3001, 3003, 3002, 3052},
     {3022, 3010, 3009, 3011, 3052},
     {3070, 3071, 3072, 3073, 3074, 3075, 3076},
     3001,
     1000,
     1001},
    {2004,
     {3004, 3006, 3005, 3001, 3002},
     {3022, 3010, 3009, 3011, 3052},
     {3070, 3071, 3072, 3073, 3074, 3075, 3076},
     3003,
     1002,
     1002},
    {2020,
     {3004, 3006, 3005, 3001, 3003},
     {3022, 3010, 3009, 3011, 3052},
     {3070, 3071, 3072, 3073, 3074, 3075, 3076},
     3002,
     1001,
     1002},
    {2024,
     {3004, 3006, 3001, 3003, 3002},
     {3022, 3070, 3071, 3072, 3073, 3074, 3075, 3076},
     {3052, 3010, 3009, 3011},
     3005,
     1004,
     1002},
    {2012,
     {3004, 3001, 3003, 3002, 3005},
     {},
     {3022, 3010, 3009, 3011, 3052, 3070, 3071, 3072, 3073, 3074, 3075, 3076},
     3006,
     1005,
     1005},
};
// Views with a default panel but no button.
constexpr int32_t kAnnotationPanel = 1003;

const ViewMenu* MenuOf(int32_t view) {
  for (const ViewMenu& menu : kViewMenus)
    if (menu.view == view) return &menu;
  return nullptr;
}

bool IsPlanView(int32_t view) {
  return view == zelvproViewBar::kTopColourView || view == zelvproViewBar::kRoomDesignView ||
         view == zelvproViewBar::kTopView;
}

// The strip's scroll record of a view: the two top views and 3D share the top view's.
int32_t MemoryOf(int32_t view) {
  if (view == zelvproViewBar::kTopColourView || view == zelvproViewBar::k3DView)
    return zelvproViewBar::kTopView;
  return view;
}

void DeselectAllOf(zelvproElement* root) {
  if (auto* canvas = dynamic_cast<zelvproCanvas*>(root)) canvas->DeselectAll(false);
}

void Move(plat::RECT& r, int32_t dx) {
  r.left += dx;
  r.right += dx;
}

}  // namespace

zelvproViewBar::zelvproViewBar(ppView* window, const plat::RECT& frame, zelvproElementPalette* palette,
                               ppView* editorCanvas, ppView* calculationCanvas, ppView* canvas3D,
                               iViewBarServices* services, iViewBarEditor* editor)
    : ppView(window, kStretch, kStay),
      palette_(palette),
      editorCanvas_(editorCanvas),
      calculationCanvas_(calculationCanvas),
      canvas3D_(canvas3D),
      services_(services != nullptr ? services : &iViewBarServices::Neutral()),
      editor_(editor) {
  Subscribe(kDocumentLoadedChannel, kDocumentLoaded);
  SetScale(kStartScale);
  SetFrame(frame);
  MakeButtons();
  ApplyZoom();
  services_->MakeLogoPane(this, frame);
  if (ppButton* roomDesign = Button(kRoomDesignView))
    DoCommand(ppButton::kPressedCommand, reinterpret_cast<intptr_t>(roomDesign));
  if (palette_ != nullptr)
    for (int32_t view : {kRoomDesignView, kTopView, kTopColourView, kAnnotationView, k3DView, kItemListView})
      palette_->AddViewMemory(view);
  new qxLineAdorner(this, kLineColour, kLineEdges);
  new ppFillAdorner(this, kFillPicture);
  AddToolTips(0);
  ShowDefaultConfiguratorForViewMode();
}

// The tips go with the bar, so that none points at a button that is gone.
zelvproViewBar::~zelvproViewBar() { RemoveToolTips(); }

void zelvproViewBar::MakeButtons() {
  const iApplicationSettings& settings = iApplicationSettings::Current();
  const bool logoLeft = (settings.flags1 & kLogoLeftFlag) != 0;
  plat::RECT r = kFirstButton;
  if (logoLeft) Move(r, kLogoLeftShift);
  if (settings.roomDesign) {
    pressed_ = MakeButton(kRoomDesignView, r, kStay);
    currentView_ = kRoomDesignView;
    Check(kRoomDesignCommand, true);
    pressed_->SetState(ppButton::kHighlighted);
    Move(r, kViewStep);
  } else {
    currentView_ = kTopView;
  }
  previousView_ = currentView_;
  for (int32_t id : {kTopColourView, k3DView, kItemListView}) {
    MakeButton(id, r, kStay);
    Move(r, kViewStep);
  }
  const bool tools[] = {(settings.flags1 & kInspirationFlag) != 0, !services_->MailAddress().empty(),
                        !services_->WebSite().empty()};
  const int32_t toolIds[] = {kInspirationButton, kMailOrderButton, kWebSendButton};
  for (int i = 0; i < 3; ++i) {
    if (!tools[i]) continue;
    Move(r, kToolStep);
    MakeButton(toolIds[i], r, kStay);
  }
  r.right = Width() - (logoLeft ? kLogoLeftRightMargin : kRightMargin);
  r.left = r.right - kButtonSize;
  if ((settings.flags1 & kExitFlag) != 0) {
    MakeButton(kExitButton, r, kMove);
    Move(r, -kViewStep);
  }
  if ((settings.flags1 & kPrintFlag) != 0) {
    MakeButton(kPrintButton, r, kMove);
    Move(r, -kViewStep);
  }
  if ((settings.flags1 & kSaveFlag) != 0) MakeButton(kSaveButton, r, kMove);
}

ppButton* zelvproViewBar::MakeButton(int32_t id, const plat::RECT& frame, int8_t horizontal) {
  auto* button = new ppButton(this, &frame, id, horizontal, kStay, ppButton::kPush);
  for (Slot& slot : slots_)
    if (slot.id == id) slot.button = button;
  return button;
}

ppButton* zelvproViewBar::Button(int32_t id) const {
  for (const Slot& slot : slots_)
    if (slot.id == id) return slot.button;
  return nullptr;
}

// ---- Commands.

void zelvproViewBar::DoCommand(int32_t command, intptr_t parameter) {
  switch (command) {
    case ppButton::kPressedCommand:
      for (const Slot& slot : slots_)
        if (slot.button != nullptr && reinterpret_cast<intptr_t>(slot.button) == parameter)
          return Press(slot.button);
      return;
    case kRoomDesignCommand:
      if (iApplicationSettings::Current().roomDesign) PressById(kRoomDesignView);
      return;
    case kTopViewCommand:
      return PressById(kTopView);
    case kTopColourCommand:
      return PressById(kTopColourView);
    case k3DCommand:
      return PressById(k3DView);
    case kItemListCommand:
      return PressById(kItemListView);
    case kInspirationCommand:
      return PressById(kInspirationButton);
    case 3008:
    case 3024:
    case 2500:
    case 5001:
      return;
    case kZoomInCommand:
      return ZoomIn();
    case kZoomOutCommand:
      return ZoomOut();
    case kNormalZoomCommand:
      return NormalZoom();
    default:
      ppView::DoCommand(command, parameter);
  }
}

void zelvproViewBar::PressById(int32_t id) {
  if (ppButton* button = Button(id)) DoCommand(ppButton::kPressedCommand, reinterpret_cast<intptr_t>(button));
}

void zelvproViewBar::SelectViewByIndex(int32_t page) {
  switch (page) {
    case 0:
      if (iApplicationSettings::Current().roomDesign) PressById(kRoomDesignView);
      return;
    case 2:
      return PressById(kTopColourView);
    case 4:
      return PressById(k3DView);
    case 5:
      return PressById(kItemListView);
    default:
      return;
  }
}

void zelvproViewBar::SelectViewById(int32_t viewId) {
  if (viewId == currentView_) return;
  if (pressed_ != nullptr && pressed_->GetPictureId() == viewId) return;
  if (viewId == kRoomDesignView || viewId == kTopColourView || viewId == k3DView || viewId == kItemListView)
    PressById(viewId);
}

void zelvproViewBar::Press(ppButton* button) {
  const int32_t id = button->GetPictureId();
  if (id == currentView_) return;
  if (id == kExitButton) {
    button->SetState(ppButton::kNormal);
    if (gApplication != nullptr) gApplication->DoCommand(ppApplication::kQuitCommand, 0);
    return;
  }
  if (id == kRoomDesignView || id == kTopColourView || id == kTopView || id == k3DView || id == kItemListView)
    SwitchTo(button);
  else
    PressTool(button);
  if (palette_ != nullptr) palette_->RestoreScrollFor(MemoryOf(currentView_));
  ShowDefaultConfiguratorForViewMode();
}

void zelvproViewBar::SwitchTo(ppButton* button) {
  iElementHost& host = iElementHost::Current();
  const int32_t id = button->GetPictureId();
  const bool plan = IsPlanView(id);
  if (plan && host.ScenePane() != nullptr) host.ScenePane()->SetSceneOutOfDate();
  SetMenuStates(id);
  if (plan && editorCanvas_ != nullptr) editorCanvas_->DoCommand(id, 0);
  HideCurrentView();
  if (ppView* canvas = CanvasOf(id); canvas != nullptr && GetSupervisor() != nullptr) {
    if (canvas->GetSupervisor() != GetSupervisor()) {
      canvas->DetachFromSupervisor();
      GetSupervisor()->AddSubview(canvas);
    }
  }
  if (plan) {
    if (ppButton* button3D = Button(k3DView)) button3D->SetState(ppButton::kNormal);
  } else if (id == kItemListView) {
    if (editor_ != nullptr) editor_->CommandTarget()->DoCommand(kItemListView, 0);
    if (calculationCanvas_ != nullptr) calculationCanvas_->Show();
  }
  if (pressed_ != nullptr) pressed_->SetState(ppButton::kNormal);
  pressed_ = button;
  pressed_->SetState(ppButton::kHighlighted);
  previousView_ = currentView_;
  currentView_ = id;
  ShowDefaultConfiguratorForViewMode();

  ppEventHandler* target = nullptr;
  if (plan)
    target = editor_ != nullptr ? editor_->CommandTarget() : nullptr;
  else if (id == kItemListView)
    target = calculationCanvas_;
  else
    target = sceneTarget_ != nullptr ? sceneTarget_ : Canvas3D();
  if (GetSupervisor() != nullptr && target != nullptr) GetSupervisor()->SetTarget(target);
  if (editor_ != nullptr) editor_->ChangeViewMode(previousView_, currentView_);

  if (plan && editorCanvas_ != nullptr) {
    editorCanvas_->Invalidate();
    editorCanvas_->Show();
  } else if (id == k3DView && Canvas3D() != nullptr) {
    canvas3D_->Show();
  }
  const ViewMenu* menu = MenuOf(id);
  Check(menu->checked, true);
  if (id == kTopColourView || id == kTopView)
    if (zelvproElement* top = host.TopCanvas()) top->BuildInfoPanel(nullptr);
  zelvproElement::InvalidateElement(host.ScenePane(), true);
  Broadcast(kViewChannel, menu->message, 0);
}

void zelvproViewBar::SetMenuStates(int32_t viewId) {
  const ViewMenu* menu = MenuOf(viewId);
  for (int32_t command : menu->unchecked) Check(command, false);
  for (int32_t command : menu->enabled) Enable(command, true);
  for (int32_t command : menu->disabled) Enable(command, false);
}

// The floor reads 3001's mark through the published state, so every change of it is published.
void zelvproViewBar::Check(int32_t command, bool checked) {
  iElementHost::Current().CheckMenuItem(command, checked);
  if (command == kRoomDesignCommand) SetMenuCommandChecked(command, checked);
}

void zelvproViewBar::Enable(int32_t command, bool enabled) {
  iElementHost::Current().EnableMenuItem(command, enabled);
}

void zelvproViewBar::HideCurrentView() {
  if (palette_ != nullptr) palette_->SaveScrollFor(MemoryOf(currentView_));
  auto hide = [](ppView* canvas, bool invalidate) {
    if (canvas == nullptr) return;
    if (invalidate) canvas->Invalidate();
    canvas->Hide();
    canvas->DetachFromSupervisor();
  };
  switch (currentView_) {
    case kTopColourView:
    case kTopView:
    case kButtonlessPlanView:
      hide(editorCanvas_, true);
      break;
    case kRoomDesignView:
    case kAnnotationView:
      hide(editorCanvas_, true);
      RefreshRulers();
      break;
    case kItemListView:
      hide(calculationCanvas_, false);
      if (auto* top = dynamic_cast<zelvproCanvas*>(iElementHost::Current().TopCanvas()))
        iWorktopBuilder::Current().RemoveGeneratedElements(*top);
      RefreshRulers();
      break;
    case k3DView:
      hide(canvas3D_, false);
      break;
    default:
      break;
  }
  DeselectAllOf(iElementHost::Current().TopCanvas());
  DeselectAllOf(iElementHost::Current().NewRoomCanvas());
}

ppView* zelvproViewBar::CanvasOf(int32_t viewId) {
  if (IsPlanView(viewId)) return editorCanvas_;
  if (viewId == kItemListView) return calculationCanvas_;
  if (viewId == k3DView) return Canvas3D();
  return nullptr;
}

ppView* zelvproViewBar::Canvas3D() {
  if (canvas3D_ == nullptr && make3D_) canvas3D_ = make3D_();
  return canvas3D_;
}

void zelvproViewBar::ShowDefaultConfiguratorForViewMode() {
  const ViewMenu* menu = MenuOf(currentView_);
  if (menu != nullptr)
    services_->BuildConfigurator(menu->panel);
  else if (currentView_ == kAnnotationView)
    services_->BuildConfigurator(kAnnotationPanel);
  if (currentView_ == kItemListView || currentView_ == kRoomDesignView || currentView_ == kAnnotationView)
    RefreshRulers();
}

void zelvproViewBar::RefreshRulers() {
  if (editor_ != nullptr) editor_->RefreshRulers();
}

// ---- Tool buttons.

void zelvproViewBar::PressTool(ppButton* button) {
  button->SetState(ppButton::kNormal);
  switch (button->GetPictureId()) {
    case kInspirationButton:
      return OpenInspiration();
    case kMailOrderButton:
      return services_->SendOrderByMail();
    case kWebSendButton:
      return services_->SendOverInternet();
    case kPrintButton:
      return DoCommand(kPrintCommand, 0);
    case kSaveButton:
      return Save();
    default:
      return;
  }
}

void zelvproViewBar::OpenInspiration() {
  Vcon::WString name = services_->InspirationName();
  if (name.empty()) return;
  Vcon::WString path, folder;
  GetStartupDirectory(path);
  GetStringArrayText(folder, kSettingsFiles, kInspirationFolder);
  path += folder;
  path += name;
  Vcon::WString command = u"open \"" + path + u"\"";
  ShellExecuteCommand(command, GetHWND());
}

void zelvproViewBar::Save() {
  if ((iApplicationSettings::Current().flags2 & kServerSaveFlag) != 0)
    services_->SaveToServer();
  else if (services_->DocumentSavedOnce())
    services_->SaveDocument();
  else
    services_->SaveDocumentAs();
}

// ---- Zoom. The scale is millimetres per pixel: zooming in makes it smaller.

void zelvproViewBar::ZoomIn() {
  Enable(kZoomOutCommand, true);
  const double before = GetScale();
  double scale = before - kZoomStep;
  if (scale <= 1.0) {
    Enable(kZoomInCommand, false);
    // At the finest step the plan stays as it is; a scale already finer (a fit to a small room) is
    // kept rather than coarsened by a zoom in.
    scale = std::min(kZoomStep, before);
  }
  SetScale(scale);
  ApplyZoom();
}

void zelvproViewBar::ZoomOut() {
  if (GetScale() >= 1.0) Enable(kZoomInCommand, true);
  SetScale(GetScale() + kZoomStep);
  ApplyZoom();
}

void zelvproViewBar::NormalZoom() {
  SetScale(kStartScale);
  ApplyZoom();
  Enable(kZoomInCommand, true);
  Enable(kZoomOutCommand, true);
}

void zelvproViewBar::ApplyZoom() {
  if (editor_ != nullptr) editor_->ApplyZoom();
}

// ---- Tips and size.

void zelvproViewBar::AddToolTips(uint32_t /*word*/) {
  ToolTipControl* tips = ToolTipControl::DocumentTips();
  if (tips == nullptr) return;
  for (const Tip& tip : kTips) {
    ppButton* button = Button(tip.button);
    if (button == nullptr) continue;
    plat::RECT r;
    button->GetWindowFrame(&r);
    tips->AddToolByTextId(this, tip.button, r, kTipWordList, tip.entry, tip.textId);
  }
}

void zelvproViewBar::RemoveToolTips() {
  ToolTipControl* tips = ToolTipControl::DocumentTips();
  if (tips == nullptr) return;
  for (const Tip& tip : kTips)
    if (Button(tip.button) != nullptr) tips->RemoveTool(this, tip.button);
}

void zelvproViewBar::UpdateTexts() {
  ppView::UpdateTexts();
  RemoveToolTips();
  AddToolTips(0);
}

void zelvproViewBar::SupervisorResized(int32_t dx, int32_t dy) {
  RemoveToolTips();
  ppView::SupervisorResized(dx, dy);
  for (ppView* canvas : {editorCanvas_, calculationCanvas_, canvas3D_})
    if (canvas != nullptr && canvas->GetSupervisor() == nullptr) canvas->SupervisorResized(dx, dy);
  AddToolTips(0);
}
