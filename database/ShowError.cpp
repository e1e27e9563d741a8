#include "database/ShowError.h"

#include <algorithm>

#include "platform/MessageBox.h"
#include "platform/ResourceRegistry.h"

namespace db {

std::string ErrorText(uint16_t textId) {
  const auto bytes = plat::ResourceRegistry::Instance().Find(plat::ResourceKind::StringTable, textId);
  if (!bytes) return {};
  std::string text(bytes->begin(), bytes->end());
  text = text.substr(0, std::min(text.find('\0'), size_t(255)));
  return text;
}

void ShowError(uint16_t textId) {
  plat::MessageBoxA(nullptr, ErrorText(textId).c_str(), "Zelvo Pro", plat::MB_ICONHAND);
}

}  // namespace db
