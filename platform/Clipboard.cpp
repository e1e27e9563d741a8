#include "platform/Clipboard.h"

#include <mutex>

namespace plat {
namespace {

std::mutex gLock;
std::u16string gText;
Clipboard::Writer gWriter;
Clipboard::Reader gReader;

}  // namespace

void Clipboard::SetText(const std::u16string& text) {
  std::lock_guard<std::mutex> hold(gLock);
  if (gWriter) {
    gWriter(text);
  } else {
    gText = text;
  }
}

std::u16string Clipboard::Text() {
  std::lock_guard<std::mutex> hold(gLock);
  return gReader ? gReader() : gText;
}

void Clipboard::UseSystem(Writer writer, Reader reader) {
  std::lock_guard<std::mutex> hold(gLock);
  gWriter = std::move(writer);
  gReader = std::move(reader);
}

}  // namespace plat
