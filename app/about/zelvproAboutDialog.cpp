#include "app/about/zelvproAboutDialog.h"

#include "framework/ppApplication.h"
#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "platform/Cursors.h"
#include "platform/ResetList.h"
#include "platform/ScreenMetrics.h"
#include "platform/WindowApi.h"

using namespace plat;

zelvproAboutDialog* AboutWindow = nullptr;
zelvproAboutDialog* CreditsWindow = nullptr;

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_BORDER;
constexpr RECT kDefaultRect{100, 100, 200, 200};

// The object whose window is being created; WM_CREATE binds it.
zelvproAboutDialog* gCreating = nullptr;

// The desktop's reset destroys every window; the objects are left to their owners, so only the
// globals go back (the objects are not reachable any more once the desktop is fresh).
[[maybe_unused]] const bool kReset = plat::ResetList::Add("about windows", [] {
  if (gStartupWindow == AboutWindow) gStartupWindow = nullptr;
  AboutWindow = nullptr;
  CreditsWindow = nullptr;
  gCreating = nullptr;
});

void BecomeAboutWindow(zelvproAboutDialog* window) {
  if (AboutWindow != nullptr) return;
  AboutWindow = window;
  gStartupWindow = window;
}

}  // namespace

zelvproAboutDialog::zelvproAboutDialog(const RECT& rect, int32_t pictureId)
    : zelvproAboutDialog(rect, pictureId, 0) {}

zelvproAboutDialog::zelvproAboutDialog(const RECT& rect, int32_t pictureId, int32_t extraHeight)
    : pictureId_(pictureId) {
  WNDCLASSA info{};
  info.style = 0;
  info.lpfnWndProc = &zelvproAboutDialog::WindowProc;
  info.hInstance = gApplication != nullptr ? gApplication->GetInstance() : nullptr;
  info.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(IDC_ARROW));
  info.lpszClassName = kClassName;
  RegisterClassA(&info);  // a repeated registration fails harmlessly

  // The outer window (border included) is exactly the picture.
  int32_t width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (const ppPicture* picture = Picture()) {
    width = picture->GetWidth();
    height = picture->GetHeight();
  }
  RECT desktop{};
  if (!GetWindowRect(GetDesktopWindow(), &desktop) || desktop.right <= desktop.left)
    desktop = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const int32_t x = desktop.left + (desktop.right - desktop.left - width) / 2;
  const int32_t y = desktop.top + (desktop.bottom - desktop.top - height) / 2;

  gCreating = this;
  HWND made = CreateWindowExA(0, kClassName, "", kStyle, x, y, width, height + extraHeight, nullptr, nullptr,
                              info.hInstance, nullptr);
  gCreating = nullptr;
  window_ = made;
  if (window_ != nullptr) {
    RECT client{};
    GetClientRect(window_, &client);
    SetFrame(client);
  }
}

zelvproAboutDialog::~zelvproAboutDialog() {
  if (window_ != nullptr && GetCapture() == window_) ReleaseCapture();
  if (gStartupWindow == this) gStartupWindow = nullptr;
  if (AboutWindow == this) AboutWindow = nullptr;
  if (CreditsWindow == this) CreditsWindow = nullptr;
  if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
  window_ = nullptr;
}

LRESULT zelvproAboutDialog::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE && gCreating != nullptr) {
    gCreating->window_ = window;
    SetPropA(window, kProperty, gCreating);
    // The credits window never serves as the about window: the about command would show credits.
    if (gCreating->pictureId_ != kCreditsPicture) BecomeAboutWindow(gCreating);
  }
  auto* object = static_cast<zelvproAboutDialog*>(GetPropA(window, kProperty));
  if (object == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_DESTROY) RemovePropA(window, kProperty);
  if (object->HandleMessage(message, wParam, lParam) == 0)
    return DefWindowProcA(window, message, wParam, lParam);
  return 0;
}

ppPicture* zelvproAboutDialog::Picture() const {
  if (gApplication == nullptr) return nullptr;
  ppPicture* picture = gApplication->GetFramePicture(pictureId_);
  return picture != nullptr && !picture->IsEmpty() ? picture : nullptr;
}

bool zelvproAboutDialog::MouseOver(int32_t, int32_t, int32_t) { return true; }

void zelvproAboutDialog::KeyDown(signed char, int32_t) { Hide(); }

void zelvproAboutDialog::DrawContent(ppDC& dc) {
  if (ppPicture* picture = Picture()) picture->DrawClipped(dc, GetFrame());
}

bool zelvproAboutDialog::IsDoubleClick(int32_t, int32_t) {
  Hide();
  return false;
}

void zelvproAboutDialog::Show() {
  ppWindow::Show();
  SetCapture(window_);
}

void zelvproAboutDialog::Hide() {
  ppWindow::Hide();
  if (GetCapture() == window_) ReleaseCapture();
}

int32_t zelvproAboutDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ppWindow::HandleMessage(message, wParam, lParam);
}

void zelvproAboutDialog::SetProgressText(const Vcon::WString&) {}

void ShowAboutWindow() {
  if (AboutWindow == nullptr) {
    // Its window's creation makes it the about window; a failed creation still keeps the object.
    auto* window = new zelvproAboutDialog(kDefaultRect, zelvproAboutDialog::kAboutPicture);
    BecomeAboutWindow(window);
  }
  AboutWindow->Show();
}

void ShowCreditsWindow() {
  if (CreditsWindow == nullptr)
    CreditsWindow = new zelvproAboutDialog(kDefaultRect, zelvproAboutDialog::kCreditsPicture);
  CreditsWindow->Show();
}

void DeleteAboutWindow() {
  zelvproAboutDialog* window = AboutWindow;
  AboutWindow = nullptr;
  delete window;
}

void DeleteCreditsWindow() {
  zelvproAboutDialog* window = CreditsWindow;
  CreditsWindow = nullptr;
  delete window;
}
