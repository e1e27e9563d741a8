#include "catalogue/records/WarningQuestion.h"

#include "controls/zelvproWarningDialog.h"
#include "framework/ppWindow.h"
#include "platform/WindowApi.h"

namespace {

constexpr int32_t kCaptionText = 5050;
constexpr int32_t kMessageText = 5049;
constexpr int32_t kCancelText = 1001;
constexpr int32_t kYesText = 1002;
constexpr int32_t kNoText = 1003;

// The top-level window above the application's window (its multiple-document client sits inside
// the frame), so the question stays over the whole program.
plat::HWND FrameWindow() {
  plat::HWND window = nullptr;
  if (ppWindow* application = ppWindow::ApplicationWindow()) window = application->GetHWND();
  if (window == nullptr) return plat::GetActiveWindow();
  while (plat::HWND parent = plat::GetParent(window)) window = parent;
  return window;
}

}  // namespace

int32_t ShowWarningQuestion() {
  zelvproWarningDialog question(FrameWindow(), kCaptionText, kMessageText, kCancelText, kYesText, kNoText);
  return question.RunModal();
}
