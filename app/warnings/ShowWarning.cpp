#include "app/warnings/ShowWarning.h"

#include <memory>

#include "app/warnings/WarningRules.h"
#include "app/warnings/qxWarningAlerter.h"
#include "app/warnings/qxWarningWindow.h"
#include "elements/base/iElementHost.h"
#include "framework/iElementServices.h"
#include "framework/ppView.h"
#include "framework/ppWindow.h"
#include "platform/ResetList.h"
#include "platform/WindowApi.h"
#include "scene3d/panes/zelvpro3DPane.h"

using namespace plat;

namespace {

// The run's warning window and its two alerters; user-interface thread. The desktop's reset
// destroys them, as the program's end does.
struct WarningParts {
  std::unique_ptr<qxWarningWindow> window;
  std::unique_ptr<qxWarningAlerter> documentAlerter;
  std::unique_ptr<qxWarningAlerter> paneAlerter;
};
WarningParts gParts;

[[maybe_unused]] const bool kReset =
    ResetList::Add("placement warning window", [] { DestroyWarningWindow(); });

ppWindow* WindowObject(HWND window) {
  return window != nullptr ? static_cast<ppWindow*>(GetPropA(window, ppWindow::kObjectProperty)) : nullptr;
}

ppWindow* DocumentWindowFor(ppView* view) {
  if (ppWindow* document = WindowObject(iElementHost::Current().DocumentWindow())) return document;
  return view != nullptr ? WindowObject(view->GetHWND()) : nullptr;
}

// Makes the alerter listen to `target` unless it already does (its old window may be gone).
void Attach(std::unique_ptr<qxWarningAlerter>& alerter, ppWindow* target) {
  if (target == nullptr || (alerter != nullptr && alerter->Window() == target)) return;
  alerter = std::make_unique<qxWarningAlerter>(target, gParts.window.get());
}

void CreateWindowFor(ppView* view, const RECT& anchor) {
  qxWarningWindow::RegisterClass();
  HWND parent = view != nullptr ? view->GetHWND() : nullptr;
  POINT origin{0, 0};
  if (parent != nullptr) ClientToScreen(parent, &origin);
  HWND made = CreateWindowExA(0, qxWarningWindow::kClassName, qxWarningWindow::kTitle,
                              qxWarningWindow::kStyle, anchor.right + origin.x - 30,
                              anchor.bottom + origin.y + 5, 100, 100, parent, nullptr, nullptr, nullptr);
  if (made == nullptr) return;
  gParts.window = std::make_unique<qxWarningWindow>(
      made, RECT{anchor.right, anchor.bottom, anchor.right + 100, anchor.bottom + 100});
  SetPropA(made, qxWarningWindow::kProperty, gParts.window.get());
  gParts.window->Hide();
}

}  // namespace

void ShowWarning(ppView* view, const RECT& anchor, int32_t warningNumber, int32_t blink) {
  if (gParts.window == nullptr) CreateWindowFor(view, anchor);
  if (gParts.window == nullptr) return;
  Attach(gParts.documentAlerter, DocumentWindowFor(view));
  Attach(gParts.paneAlerter, zelvpro3DPane::Current());
  gParts.window->ShowAt(anchor, warningNumber, blink != 0);
}

qxWarningWindow* WarningWindow() { return gParts.window.get(); }

ppWindow* WarningDocumentWindow() {
  return gParts.documentAlerter != nullptr ? gParts.documentAlerter->Window() : nullptr;
}

ppWindow* WarningScenePaneWindow() {
  return gParts.paneAlerter != nullptr ? gParts.paneAlerter->Window() : nullptr;
}

void DestroyWarningWindow() {
  gParts.documentAlerter.reset();
  gParts.paneAlerter.reset();
  gParts.window.reset();
}

void StartPlacementWarnings() {
  WarningRules::ReadAtStartup();
  SetPlacementWarningPresenter(&ShowWarning);
}
