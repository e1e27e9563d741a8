#include "framework/ppTabPages.h"

#include "platform/TabControl.h"
#include "platform/WindowApi.h"

using namespace plat;

namespace {
constexpr int32_t kShowDefault = 10;  // the platform's SW_SHOWDEFAULT
}

int32_t ppTabPages::AddPage(std::unique_ptr<ppTabPage> page, int32_t id) {
  if (!page || count_ >= kMaxPages) return -1;
  entries_[count_] = std::make_unique<Entry>(Entry{count_, id});
  pages_[count_] = std::move(page);
  return count_++;
}

ppTabPage* ppTabPages::PageAt(int32_t index) const {
  return index >= 0 && index < count_ ? pages_[index].get() : nullptr;
}

// The original selected whatever index it was given; an index without a page would have left a
// dangling current page, so it is refused here.
void ppTabPages::SelectPage(int32_t index) {
  ppTabPage* next = PageAt(index);
  if (!next) return;
  if (current_ && IsWindow(current_->Window())) ShowWindow(current_->Window(), SW_HIDE);
  current_ = next;
  if (IsWindow(next->Window())) ShowWindow(next->Window(), kShowDefault);
  if (IsWindow(tabControl_)) SendMessageA(tabControl_, TCM_SETCURFOCUS, static_cast<WPARAM>(index), 0);
}

ppTabPage* ppTabPages::FindPageById(int32_t id) const {
  for (int32_t i = 0; i < count_; ++i) {
    if (entries_[i]->id == id) return pages_[entries_[i]->page].get();
  }
  return nullptr;
}

int32_t ppTabPages::PageOfWindow(HWND control) const {
  HWND parent = GetParent(control);
  if (!parent) return 0;
  for (int32_t i = 0; i < count_; ++i) {
    if (pages_[i]->Window() == parent) return pages_[i]->Number();
  }
  return 0;
}
