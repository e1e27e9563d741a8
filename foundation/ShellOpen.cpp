#include "foundation/ShellOpen.h"

#include "platform/Shell.h"
#include "platform/WindowTypes.h"

void ShellExecuteCommand(Vcon::WString& command, plat::HWND owner) {
  Vcon::WString target;
  size_t quote = command.find(u'"');
  if (quote != std::u16string::npos) {
    size_t end = command.find(u'"', quote + 1);
    target = command.substr(quote + 1, end == std::u16string::npos ? std::u16string::npos : end - quote - 1);
    command.resize(quote);
  }
  Vcon::WString directory;
  for (size_t slash = command.find(u'\\'); slash != std::u16string::npos; slash = command.find(u'\\')) {
    directory += command.substr(0, slash + 1);
    command.erase(0, slash + 1);
  }
  size_t blank = command.find(u' ');
  if (blank != std::u16string::npos) command.resize(blank);
  plat::ShellExecuteW(owner, command.c_str(), target.c_str(), nullptr, directory.c_str(),
                      plat::SW_SHOWNORMAL);
}
