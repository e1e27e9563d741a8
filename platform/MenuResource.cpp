#include "platform/MenuResource.h"

#include <string>

#include "platform/AnsiCodePage.h"
#include "platform/ResourceRegistry.h"

namespace plat {
namespace {

constexpr int32_t kDeepestLevel = 16;

class MenuReader {
 public:
  explicit MenuReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  // Reads one level into `menu`; false when the bytes are malformed.
  bool ReadLevel(HMENU menu, int32_t depth) {
    if (depth > kDeepestLevel) return false;
    for (;;) {
      uint16_t flags = 0, id = 0;
      std::string text;
      if (!ReadU16(flags)) return false;
      bool popup = (flags & MF_POPUP) != 0;
      if (!popup && !ReadU16(id)) return false;
      if (!ReadText(text)) return false;
      UINT itemFlags = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_SEPARATOR);
      if (popup) {
        HMENU sub = CreatePopupMenu();
        AppendMenuA(menu, itemFlags | MF_POPUP, reinterpret_cast<uintptr_t>(sub), text.c_str());
        if (!ReadLevel(sub, depth + 1)) return false;
      } else {
        AppendMenuA(menu, itemFlags, id, text.c_str());
      }
      if (flags & MF_END) return true;
    }
  }

 private:
  bool ReadU16(uint16_t& out) {
    if (at_ + 2 > bytes_.size()) return false;
    out = static_cast<uint16_t>(bytes_[at_] | (bytes_[at_ + 1] << 8));
    at_ += 2;
    return true;
  }

  bool ReadText(std::string& out) {
    while (at_ < bytes_.size()) {
      char c = static_cast<char>(bytes_[at_++]);
      if (c == 0) return true;
      out.push_back(c);
    }
    return false;
  }

  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
};

}  // namespace

HMENU ParseMenuResource(std::span<const uint8_t> bytes) {
  HMENU menu = CreateMenu();
  MenuReader reader(bytes);
  if (bytes.empty() || !reader.ReadLevel(menu, 0)) {
    DestroyMenu(menu);
    return nullptr;
  }
  return menu;
}

HMENU LoadMenuResource(std::string_view name) {
  auto bytes = ResourceRegistry::Instance().Find(ResourceKind::Menu, name);
  return bytes ? ParseMenuResource(*bytes) : nullptr;
}

HMENU LoadMenuResource(uint16_t id) {
  auto bytes = ResourceRegistry::Instance().Find(ResourceKind::Menu, id);
  return bytes ? ParseMenuResource(*bytes) : nullptr;
}

}  // namespace plat
