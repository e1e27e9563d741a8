#include "app/startup/HandOverText.h"

std::string HandOverText::FromCopyData(const plat::COPYDATASTRUCT& data) {
  if (data.lpData == nullptr) return {};
  return FromBytes(std::string_view(static_cast<const char*>(data.lpData), data.cbData));
}

std::string HandOverText::FromBytes(std::string_view bytes) {
  std::string_view text = bytes.substr(0, bytes.find('\0'));
  if (!text.empty() && text.front() == '"') {
    text.remove_prefix(1);
    if (!text.empty() && text.back() == '"') text.remove_suffix(1);
  }
  return std::string(text);
}
