#pragma once
// The clipboard's text. Without a display it is one process-wide text; while the interactive backend
// runs it is the desktop's clipboard, so text goes to and comes from other programs.

#include <functional>
#include <string>

namespace plat {

class Clipboard {
 public:
  static void SetText(const std::u16string& text);
  static std::u16string Text();

  // The interactive backend routes the clipboard to the desktop; null functions restore the
  // process-wide text.
  using Writer = std::function<void(const std::u16string&)>;
  using Reader = std::function<std::u16string()>;
  static void UseSystem(Writer writer, Reader reader);
};

}  // namespace plat
