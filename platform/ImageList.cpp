#include "platform/ImageList.h"

#include <map>
#include <memory>

#include "platform/ResetList.h"
#include "platform/TabControl.h"
#include "platform/Tooltip.h"
#include "platform/TreeView.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

constexpr int32_t kLargestImage = 256;

// Live image lists; user-interface thread.
std::map<ImageListObject*, std::unique_ptr<ImageListObject>>& Table() {
  static std::map<ImageListObject*, std::unique_ptr<ImageListObject>> table;
  return table;
}

[[maybe_unused]] const bool kReset = ResetList::Add("image lists", [] { Table().clear(); });

// A memory context with `bitmap` selected for the scope.
struct BitmapDc {
  explicit BitmapDc(HBITMAP bitmap) : dc(CreateCompatibleDC(nullptr)), old(SelectObject(dc, bitmap)) {}
  ~BitmapDc() {
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  BitmapDc(const BitmapDc&) = delete;
  BitmapDc& operator=(const BitmapDc&) = delete;
  HDC dc;
  HGDIOBJ old;
};

}  // namespace

int32_t ImageListObject::Add(HBITMAP bitmap) {
  BITMAP info;
  if (!bitmap || !GetObject(bitmap, sizeof info, &info) || info.bmHeight < height_) return -1;
  int32_t count = info.bmWidth / width_;
  if (count <= 0) return -1;
  int32_t first = Count();
  BitmapDc source(bitmap);
  for (int32_t k = 0; k < count; ++k) {
    OwnedBitmap image(CreateBitmap(width_, height_, 1, 32, nullptr));
    BitmapDc target(image.get());
    BitBlt(target.dc, 0, 0, width_, height_, source.dc, k * width_, 0, SRCCOPY);
    images_.push_back(std::move(image));
  }
  return first;
}

bool ImageListObject::Draw(int32_t index, HDC dc, int32_t x, int32_t y) const {
  if (index < 0 || index >= Count()) return false;
  BitmapDc source(images_[index].get());
  return BitBlt(dc, x, y, width_, height_, source.dc, 0, 0, SRCCOPY) != 0;
}

ImageListObject* LiveImageList(HIMAGELIST list) {
  auto it = Table().find(list);
  return it == Table().end() ? nullptr : it->second.get();
}

HIMAGELIST ImageList_Create(int32_t width, int32_t height, UINT, int32_t, int32_t) {
  if (width < 1 || height < 1 || width > kLargestImage || height > kLargestImage) return nullptr;
  auto list = std::make_unique<ImageListObject>(width, height);
  HIMAGELIST handle = list.get();
  Table()[handle] = std::move(list);
  return handle;
}

BOOL ImageList_Destroy(HIMAGELIST list) { return Table().erase(list) ? 1 : 0; }

int32_t ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP) {
  ImageListObject* live = LiveImageList(list);
  return live ? live->Add(image) : -1;
}

int32_t ImageList_GetImageCount(HIMAGELIST list) {
  ImageListObject* live = LiveImageList(list);
  return live ? live->Count() : 0;
}

BOOL ImageList_Draw(HIMAGELIST list, int32_t index, HDC dc, int32_t x, int32_t y, UINT) {
  ImageListObject* live = LiveImageList(list);
  return live && live->Draw(index, dc, x, y);
}

void RegisterCommonControlClass(const char* name, WNDPROC proc) {
  if (WindowManager::Instance().FindClass(name)) return;
  WNDCLASSA info;
  info.style = CS_DBLCLKS;
  info.lpfnWndProc = proc;
  info.lpszClassName = name;
  RegisterClassA(&info);
}

void InitCommonControls() {
  RegisterToolTipClass();
  RegisterTabControlClass();
  RegisterTreeViewClass();
}

}  // namespace plat
