#include "canvas/window/RemoteCommandText.h"

namespace {

bool Separator(char16_t c) { return c == u' ' || c == u',' || c == u'\t'; }

bool Letter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// What may follow an option letter: the end, a separator, a double quote or a digit.
bool EndsOption(const std::u16string& text, size_t at) {
  if (at >= text.size()) return true;
  const char16_t c = text[at];
  return Separator(c) || c == u'"' || (c >= u'0' && c <= u'9');
}

void Cut(std::u16string& text) {
  if (text.size() > RemoteCommandText::kMaxText) text.resize(RemoteCommandText::kMaxText);
}

}  // namespace

int32_t RemoteCommandText::ArgumentCount(char16_t letter) {
  switch (letter) {
    case u'o':
      return 3;
    case u'n':
      return 2;
    case u'b':
      return 6;
    case u'd':
      return 1;
    default:
      return 0;
  }
}

RemoteCommandText::Command RemoteCommandText::Parse(const std::u16string& text, const FileExists& exists) {
  Command command;
  size_t at = 0;
  while (at < text.size() && Separator(text[at])) ++at;
  const bool shaped = at + 1 < text.size() && (text[at] == u'-' || text[at] == u'/') &&
                      Letter(text[at + 1]) && EndsOption(text, at + 2);
  // A path that exists opens, whatever it looks like ("/home/..." starts like an option).
  if (!shaped || (exists && exists(text))) return command;
  command.open = false;
  command.letter = text[at + 1];
  size_t position = at + 2;
  if (position < text.size() && text[position] == u'"') ++position;
  if (position >= text.size()) position = kNone;
  const int32_t count = ArgumentCount(command.letter);
  for (int32_t i = 0; i < count; ++i) {
    std::u16string argument;
    position = NextRemoteArgument(text, position, argument);
    command.arguments.push_back(std::move(argument));
  }
  return command;
}

size_t RemoteCommandText::NextRemoteArgument(const std::u16string& text, size_t position,
                                             std::u16string& out) {
  out.clear();
  if (position == kNone) return kNone;
  size_t at = position;
  while (at < text.size() && Separator(text[at])) ++at;
  if (at >= text.size()) return kNone;
  size_t end;
  if (text[at] == u'"') {
    ++at;
    end = text.find(u'"', at);
    if (end == std::u16string::npos) end = text.size();
    out.assign(text, at, end - at);
    // Reading goes on after the closing quote.
    if (end < text.size()) ++end;
  } else {
    end = at;
    while (end < text.size() && !Separator(text[end])) ++end;
    out.assign(text, at, end - at);
  }
  Cut(out);
  return end >= text.size() ? kNone : end;
}

std::u16string RemoteCommandText::ReportText(const Command& command) {
  std::u16string text;
  if (command.open) return text;
  if (command.letter == u'b' && command.arguments.size() == 6) {
    text = u"Generate BMP er kaldt med ";
    for (size_t i = 0; i < 6; ++i) {
      if (i > 0) text += u", ";
      text += command.arguments[i];
    }
    text += u" som argumenter";
  } else if (command.letter == u'd' && command.arguments.size() == 1) {
    text = u"Delete Document er kaldt med " + command.arguments[0] + u" som argument";
  }
  Cut(text);
  return text;
}
