#include "foundation/ppTokenizer.h"

namespace {

bool Contains(const Vcon::WString& set, char16_t c) { return set.find(c) != Vcon::WString::npos; }

char16_t Unescaped(char16_t c) {
  switch (c) {
    case u't':
      return u'\t';
    case u'n':
      return u'\n';
    case u'r':
      return u'\r';
    default:
      return c;  // a quote, a backslash or anything else stands for itself
  }
}

}  // namespace

ppTokenizer::ppTokenizer(ppStream& source, const Vcon::WString& separatorSet, const Vcon::WString& blankSet,
                         const Vcon::WString& lineEndSet, uint8_t widthMode, bool escapesOn)
    : stream(source),
      separators(separatorSet),
      blanks(blankSet),
      lineEnds(lineEndSet),
      escapes(escapesOn),
      wide(widthMode == kWide     ? true
           : widthMode == kNarrow ? false
                                  : source.IsWide()) {}

bool ppTokenizer::IsBlank() const { return Contains(blanks, current); }
bool ppTokenizer::IsLineEnd() const { return Contains(lineEnds, current); }
bool ppTokenizer::IsBreak() const { return Contains(separators, current) || IsLineEnd(); }

void ppTokenizer::NextChar() {
  bool wasAtEnd = stream.AtEnd();
  current = wide ? static_cast<char16_t>(stream.ReadShort()) : static_cast<char16_t>(stream.ReadByte());
  // A 0 from a stream that is (or just became) at its end is no character: a string stream
  // gives it without moving, a file stream after a read that found nothing.
  lastReadFound = !(current == 0 && (wasAtEnd || stream.AtEnd()));
  if (lastReadFound) ++count;
}

void ppTokenizer::BackChar() { MoveBack(1); }

void ppTokenizer::MoveBack(int32_t characters) {
  if (characters <= 0) return;
  if (wide) {
    stream.SeekBackWide(characters);
  } else {
    stream.SeekBack(characters);
  }
  count -= characters;
}

Vcon::WString& ppTokenizer::GetToken(Vcon::WString& token) {
  history.push_back(count);
  token.clear();
  if (blanks.empty()) {
    NextChar();
  } else {
    current = blanks[0];
    lastReadFound = false;
    while (IsBlank() && !AtEnd()) NextChar();
  }
  if (!IsBreak()) {
    ReadWord(token);
  } else if (IsLineEnd()) {
    token.assign(1, lineEnds[0]);
    ReadLineEndRun();
  } else {
    token.assign(1, current);
  }
  return token;
}

void ppTokenizer::ReadLineEndRun() {
  bool readMore = false;
  while ((IsLineEnd() || IsBlank()) && !AtEnd()) {
    NextChar();
    readMore = true;
  }
  // Give back the character after the run; a run that reached the end is consumed whole.
  if (readMore && lastReadFound && !IsLineEnd() && !IsBlank()) BackChar();
}

void ppTokenizer::ReadWord(Vcon::WString& token) {
  while (!IsBlank() && !IsBreak() && !AtEnd()) {
    if (escapes && current == u'\\') {
      NextChar();
      if (!lastReadFound) break;
      current = Unescaped(current);
    }
    token += current;
    NextChar();
  }
  if (!lastReadFound) return;
  if (!AtEnd()) {
    BackChar();  // the blank or break that ended the word begins the next token
  } else if (IsBreak()) {
    BackChar();  // a separator or line end that is the last character is still a token
  } else if (!IsBlank()) {
    token += current;  // a stream that reports its end with the last character read
  }
}

bool ppTokenizer::Accept(const Vcon::WString& text) {
  Vcon::WString token;
  if (GetToken(token) == text) return true;
  Unget(1);
  return false;
}

void ppTokenizer::Unget(int32_t n) {
  int32_t target = count;
  for (int32_t i = 0; i < n && !history.empty(); ++i) {
    target = history.back();
    history.pop_back();
  }
  MoveBack(count - target);
}
