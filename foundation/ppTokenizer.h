// Splits the characters of a stream into tokens: words, one-character separator tokens and
// line-end tokens, skipping blanks between them.
//
// Each reader chooses the three character sets. A run of line-end characters (and blanks among
// them) gives one line-end token holding the first character of the line-end set. With escapes on,
// a backslash inside a word takes the next character literally, except that t, n and r give TAB,
// LF and CR. Tokens can be given back (Unget) and are then read again. At the end of the input
// GetToken gives empty tokens; readers test AtEnd.
//
// The stream belongs to the reader and must outlive the tokenizer. A file stream keeps its end
// flag when moved back, so tokens given back after the end of a file are not read again.
#pragma once

#include <cstdint>
#include <deque>

#include "foundation/VconString.h"
#include "foundation/ppStream.h"

class ppTokenizer {
 public:
  // Width modes: read 16-bit units, bytes, or whatever the stream says it holds.
  static constexpr uint8_t kWide = 1;
  static constexpr uint8_t kNarrow = 2;
  static constexpr uint8_t kAskStream = 0;

  ppTokenizer(ppStream& stream, const Vcon::WString& separators, const Vcon::WString& blanks,
              const Vcon::WString& lineEnds, uint8_t widthMode, bool escapes);
  virtual ~ppTokenizer() = default;

  // Reads the next token into `token` and returns it.
  Vcon::WString& GetToken(Vcon::WString& token);
  // Reads a token: true when it equals `text`, else the token is given back.
  bool Accept(const Vcon::WString& text);
  // Gives the last n tokens back.
  void Unget(int32_t n);
  bool AtEnd() { return stream.AtEnd(); }

  // One character into Current(); a read that finds nothing leaves 0 there and is not counted.
  void NextChar();
  // Moves the stream back over the character read last.
  void BackChar();
  char16_t Current() const { return current; }
  bool IsBlank() const;
  bool IsLineEnd() const;
  // A separator or a line-end character.
  bool IsBreak() const;

 private:
  void ReadLineEndRun();
  void ReadWord(Vcon::WString& token);
  void MoveBack(int32_t characters);

  ppStream& stream;
  Vcon::WString separators;
  Vcon::WString blanks;
  Vcon::WString lineEnds;
  bool escapes;
  bool wide;
  char16_t current = 0;
  bool lastReadFound = false;   // whether the last NextChar found a character
  int32_t count = 0;            // characters read, less those moved back over
  std::deque<int32_t> history;  // `count` at the start of each token read
};
