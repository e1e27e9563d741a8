#include "platform/Clipboard.h"

#include <mutex>

#include "platform/ResetList.h"

namespace plat {
namespace {

// Any thread may copy and paste; gLock guards the three below.
std::mutex gLock;
std::u16string gText;
// Set by the interactive backend while it runs; they belong to it and stay across a reset.
Clipboard::Writer gWriter;
Clipboard::Reader gReader;

[[maybe_unused]] const bool kReset = ResetList::Add("clipboard: process-wide text", [] {
  std::lock_guard<std::mutex> hold(gLock);
  gText.clear();
});

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
