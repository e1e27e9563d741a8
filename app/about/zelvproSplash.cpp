#include "app/about/zelvproSplash.h"

#include <chrono>

#include "framework/ppDC.h"
#include "framework/ppMouseTask.h"
#include "platform/LayerClock.h"
#include "platform/SdlBackend.h"
#include "platform/WindowApi.h"

using namespace plat;

namespace {
constexpr RECT kDefaultRect{100, 100, 200, 200};
}  // namespace

zelvproSplash::zelvproSplash(const RECT& rect, int32_t pictureId)
    : zelvproAboutDialog(rect, pictureId, kStripHeight) {}

void zelvproSplash::StartProgress() {
  progressMode_ = true;
  if (!stripRoom_) {
    RECT outer{};
    GetWindowRect(window_, &outer);
    outer.bottom += kStripHeight;
    MoveWindow(window_, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top, 0);
    stripRoom_ = true;
  }
  RECT client{};
  GetClientRect(window_, &client);
  SetFrame(client);
  strip_ = client;
  strip_.top = client.bottom - kStripHeight;
  progressText_ = Vcon::WString(u"Starting");
  Show();
}

void zelvproSplash::DrawContent(ppDC& dc) {
  zelvproAboutDialog::DrawContent(dc);
  if (progressMode_) DrawStrip(dc);
}

void zelvproSplash::DrawStrip(ppDC& dc) {
  dc.ClipToRect(strip_);
  dc.SetColor({100, 100, 100});
  dc.FillRect(strip_);
  // The top line, the pixels a line to the last column would set, filled: no line to stroke.
  dc.SetColor({0, 0, 0});
  dc.FillRect(RECT{strip_.left, strip_.top, strip_.right - 1, strip_.top + 1});
  if (progressText_.empty()) return;
  RECT text{strip_.left + 5, strip_.top + 3, strip_.right - 5, strip_.bottom - 3};
  dc.SetTextColor({0, 0, 0});
  dc.DrawText(progressText_, text, DT_LEFT | DT_TOP | DT_SINGLELINE);
}

void zelvproSplash::Show() {
  shownAt_ = ppMouseTask::GetTicks();
  zelvproAboutDialog::Show();
}

void zelvproSplash::Hide() {
  zelvproAboutDialog::Hide();
  if (!progressMode_) return;
  RECT outer{};
  GetWindowRect(window_, &outer);
  outer.bottom -= kStripHeight;
  MoveWindow(window_, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top, 0);
  stripRoom_ = false;
  RECT client{};
  GetClientRect(window_, &client);
  SetFrame(client);
  progressMode_ = false;
}

void zelvproSplash::SetProgressText(const Vcon::WString& text) {
  progressText_ = text;
  if (!progressMode_ || window_ == nullptr) return;
  {
    ppDC dc(window_);
    DrawStrip(dc);
  }
  // Start-up keeps the message loop from running: on a display the new pixels are shown now.
  if (plat::SdlBackend::Running()) plat::SdlBackend::Pump(std::chrono::milliseconds(0));
}

void ShowSplash() {
  if (AboutWindow != nullptr) {
    AboutWindow->Show();
    return;
  }
  auto* splash = new zelvproSplash(kDefaultRect, zelvproAboutDialog::kAboutPicture);
  if (AboutWindow == nullptr) AboutWindow = splash;  // its window could not be made
  splash->StartProgress();
}

void HideSplash(bool wait) {
  if (wait) {
    if (auto* splash = dynamic_cast<zelvproSplash*>(AboutWindow)) {
      // Waits on the layer's clock rather than spinning: the headless clock then moves at once.
      for (uint32_t shown;
           (shown = ppMouseTask::GetTicks() - splash->ShownAt()) < zelvproSplash::kLeastShowing;)
        plat::LayerClock::Wait((zelvproSplash::kLeastShowing - shown) * 1000u / 60u + 1u);
    }
  }
  if (AboutWindow != nullptr) AboutWindow->Hide();
}
