#include "app/warnings/qxWarningWindow.h"

#include "app/warnings/qxFadeSweeper.h"
#include "app/warnings/qxWaitThread.h"
#include "foundation/FileRecord.h"
#include "foundation/ppParameter.h"
#include "framework/ppApplication.h"
#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "platform/Cursors.h"
#include "platform/LayerClock.h"
#include "platform/WindowApi.h"

using namespace plat;

namespace {

const char16_t kPictureFolder[] = u".\\settings\\warnings\\";

RECT AtOrigin(const RECT& r) { return {0, 0, r.right - r.left, r.bottom - r.top}; }

}  // namespace

qxWarningWindow::qxWarningWindow(HWND window, const RECT& frame)
    : ppWindow(window), sweeper_(std::make_unique<qxFadeSweeper>(this)) {
  waitThread_ = new qxWaitThread(window, sweeper_.get());
  SetFrame(AtOrigin(frame));
}

qxWarningWindow::~qxWarningWindow() {
  if (waitThread_ != nullptr) waitThread_->Stop();
  waitThread_ = nullptr;
  if (window_ != nullptr && IsWindow(window_)) {
    // Closing messages still queued for the window go with it, so the sweeper is never run again.
    if (GetPropA(window_, kProperty) == this) RemovePropA(window_, kProperty);
    DestroyWindow(window_);
  }
}

void qxWarningWindow::RegisterClass() {
  WNDCLASSA info{};
  info.lpfnWndProc = &qxWarningWindow::WindowProc;
  info.hInstance = gApplication != nullptr ? gApplication->GetInstance() : nullptr;
  info.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(IDC_ARROW));
  info.lpszClassName = kClassName;
  RegisterClassA(&info);
}

LRESULT qxWarningWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* object = static_cast<qxWarningWindow*>(GetPropA(window, kProperty));
  if (object == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_DESTROY:
      RemovePropA(window, kProperty);
      break;
    case WM_PAINT:
      object->Paint();
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      object->Hide();
      return 1;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      object->Hide();
      return 0;
    case qxWaitThread::kSweepMessage:
      // The fade sweeper stays the window's: it is run, never deleted, and was never counted.
      if (lParam != 0) reinterpret_cast<qxFadeSweeper*>(lParam)->Sweep();
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void qxWarningWindow::ShowAt(const RECT& anchor, int32_t number, bool blink) {
  blinkPending_ = true;
  if (number != warningNumber_) {
    picture_.reset();
    warningNumber_ = 0;
    Vcon::WString path(kPictureFolder);
    path += ppParameter(number).AsWString();
    path += Vcon::WString(u".png");
    auto picture = std::make_unique<ppPicture>();
    try {
      picture->LoadFile(ppFileSpec(path));
    } catch (...) {
      picture.reset();  // a picture that cannot be read must not end the program
    }
    ++picturesLoaded_;
    if (picture == nullptr || picture->IsEmpty()) {
      // Nothing to show: stay hidden, number 0, so that the next show tries the file again.
      if (IsWindowVisible(window_)) Hide();
      return;
    }
    picture_ = std::move(picture);
    warningNumber_ = number;
  }
  if (picture_ == nullptr) return;
  const int32_t width = picture_->GetWidth(), height = picture_->GetHeight();
  MoveWindow(window_, anchor.right + width - 40, anchor.bottom + 10, width, height + 2, 0);
  ppWindow::Show();
  SetFrame({0, 0, width, height});
  InvalidateRect(window_, nullptr, 0);
  if (blink && waitThread_ != nullptr) waitThread_->Start();
  SetFocus(window_);
}

void qxWarningWindow::DrawContent(ppDC& dc) {
  if (picture_ == nullptr) return;
  const RECT frame = GetFrame();
  if (blinkPending_) {
    picture_->DrawClipped(dc, frame);
    dc.SetColor({100, 100, 100});
    dc.SetXorMode();
    for (int32_t i = 0; i < 2; ++i) {
      LayerClock::Wait(kBlinkStepMs);
      dc.FillRect(frame);  // inverted
      LayerClock::Wait(kBlinkStepMs);
      dc.FillRect(frame);  // back again
    }
    LayerClock::Wait(kBlinkStepMs);
    dc.SetCopyMode();
    blinkPending_ = false;
  }
  picture_->DrawClipped(dc, frame);
}
