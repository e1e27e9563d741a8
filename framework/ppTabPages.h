#pragma once
// The tab pages of a dialog: one page window per tab of a tab control, of which the current one is
// shown. Pages are found by their tab index, by an id their creator gave them, or by a control on
// them. The set owns its pages (not their windows, which belong to the dialog); at most 32 pages.
// Operations on a tab control or page window that is gone do nothing. User-interface thread only.

#include <array>
#include <cstdint>
#include <memory>

#include "platform/WindowTypes.h"

// One page: its window and the number the dialog knows it by.
class ppTabPage {
 public:
  ppTabPage(plat::HWND window, int32_t number) : window_(window), number_(number) {}
  virtual ~ppTabPage() = default;
  plat::HWND Window() const { return window_; }
  int32_t Number() const { return number_; }

 private:
  plat::HWND window_;
  int32_t number_;
};

class ppTabPages {
 public:
  static constexpr int32_t kMaxPages = 32;

  explicit ppTabPages(plat::HWND tabControl) : tabControl_(tabControl) {}
  virtual ~ppTabPages() = default;
  ppTabPages(const ppTabPages&) = delete;
  ppTabPages& operator=(const ppTabPages&) = delete;

  // Takes the page as the next tab's page, found later by `id`; answers its index, or -1 (the page
  // deleted) when the set is full.
  int32_t AddPage(std::unique_ptr<ppTabPage> page, int32_t id);
  // Hides the current page, shows page `index` and moves the tab control's focus to it; selecting
  // the current page again shows it again. An index without a page changes nothing.
  void SelectPage(int32_t index);
  // The page of the first entry with `id`, or null.
  ppTabPage* FindPageById(int32_t id) const;
  // The number of the first page whose window holds `control`; 0 when none does.
  int32_t PageOfWindow(plat::HWND control) const;

  ppTabPage* Current() const { return current_; }
  int32_t Count() const { return count_; }
  ppTabPage* PageAt(int32_t index) const;
  plat::HWND TabControl() const { return tabControl_; }

 private:
  struct Entry {
    int32_t page = 0;  // index into pages_
    int32_t id = 0;
  };

  plat::HWND tabControl_;
  std::array<std::unique_ptr<Entry>, kMaxPages> entries_;
  std::array<std::unique_ptr<ppTabPage>, kMaxPages> pages_;
  ppTabPage* current_ = nullptr;
  int32_t count_ = 0;
};
