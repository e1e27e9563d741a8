#include "platform/DialogTemplate.h"

#include <cstring>

#include "platform/AnsiCodePage.h"
#include "platform/Cursors.h"
#include "platform/ResourceRegistry.h"

namespace plat {

namespace {
constexpr char kMark[4] = {'D', 'L', 'G', '1'};

class Writer {
 public:
  void U16(uint16_t v) { Bytes(&v, 2); }
  void U32(uint32_t v) { Bytes(&v, 4); }
  void I16(int16_t v) { Bytes(&v, 2); }
  void CStr(const std::string& s) { Bytes(s.c_str(), s.size() + 1); }
  void Bytes(const void* p, size_t n) {
    // Values are written little-endian; the hosts we build for are little-endian.
    const auto* b = static_cast<const uint8_t*>(p);
    out.insert(out.end(), b, b + n);
  }
  std::vector<uint8_t> out;
};

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool U16(uint16_t& v) { return Copy(&v, 2); }
  bool U32(uint32_t& v) { return Copy(&v, 4); }
  bool I16(int16_t& v) { return Copy(&v, 2); }
  bool CStr(std::string& s) {
    const void* end = std::memchr(bytes_.data() + at_, 0, bytes_.size() - at_);
    if (!end) return false;
    size_t n = static_cast<size_t>(static_cast<const uint8_t*>(end) - (bytes_.data() + at_));
    s.assign(reinterpret_cast<const char*>(bytes_.data() + at_), n);
    at_ += n + 1;
    return true;
  }
  bool Copy(void* p, size_t n) {
    if (bytes_.size() - at_ < n) return false;
    std::memcpy(p, bytes_.data() + at_, n);
    at_ += n;
    return true;
  }
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
};

bool ReadRect(Reader& r, int16_t& x, int16_t& y, int16_t& cx, int16_t& cy) {
  return r.I16(x) && r.I16(y) && r.I16(cx) && r.I16(cy);
}
}  // namespace

DialogItemTemplate& DialogTemplate::Add(const char* className, std::u16string text, uint16_t id, int16_t x,
                                        int16_t y, int16_t cx, int16_t cy, DWORD style) {
  DialogItemTemplate item;
  item.className = className;
  item.text = std::move(text);
  item.id = id;
  item.x = x, item.y = y, item.cx = cx, item.cy = cy;
  item.style = style;
  items.push_back(std::move(item));
  return items.back();
}

std::vector<uint8_t> DialogTemplate::Serialize() const {
  Writer w;
  w.Bytes(kMark, sizeof kMark);
  w.U32(style);
  w.U32(exStyle);
  w.I16(x), w.I16(y), w.I16(cx), w.I16(cy);
  w.U16(pointSize);
  w.CStr(fontFace);
  w.CStr(NarrowToAnsi(caption));
  w.U16(static_cast<uint16_t>(items.size()));
  for (const DialogItemTemplate& item : items) {
    w.U32(item.style);
    w.U32(item.exStyle);
    w.I16(item.x), w.I16(item.y), w.I16(item.cx), w.I16(item.cy);
    w.U16(item.id);
    w.CStr(item.className);
    w.CStr(NarrowToAnsi(item.text));
  }
  return w.out;
}

std::optional<DialogTemplate> DialogTemplate::Parse(std::span<const uint8_t> bytes) {
  Reader r(bytes);
  char mark[4];
  DialogTemplate t;
  std::string caption;
  uint16_t count = 0;
  if (!r.Copy(mark, 4) || std::memcmp(mark, kMark, 4) != 0) return std::nullopt;
  if (!r.U32(t.style) || !r.U32(t.exStyle) || !ReadRect(r, t.x, t.y, t.cx, t.cy) || !r.U16(t.pointSize) ||
      !r.CStr(t.fontFace) || !r.CStr(caption) || !r.U16(count)) {
    return std::nullopt;
  }
  t.caption = WidenAnsi(caption);
  for (uint16_t i = 0; i < count; ++i) {
    DialogItemTemplate item;
    std::string text;
    if (!r.U32(item.style) || !r.U32(item.exStyle) || !ReadRect(r, item.x, item.y, item.cx, item.cy) ||
        !r.U16(item.id) || !r.CStr(item.className) || !r.CStr(text)) {
      return std::nullopt;
    }
    item.text = WidenAnsi(text);
    t.items.push_back(std::move(item));
  }
  if (!r.AtEnd()) return std::nullopt;
  return t;
}

std::optional<DialogTemplate> DialogTemplate::Load(const char* name) {
  auto& registry = ResourceRegistry::Instance();
  auto bytes = IS_INTRESOURCE(name)
                   ? registry.Find("DIALOG", static_cast<uint16_t>(reinterpret_cast<uintptr_t>(name)))
                   : registry.Find("DIALOG", std::string_view(name));
  if (!bytes) return std::nullopt;
  return Parse(*bytes);
}

}  // namespace plat
