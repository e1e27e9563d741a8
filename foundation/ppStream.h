// The byte-stream interface the tokenizer reads from.
//
// Characters are 8-bit bytes; wide text travels as 16-bit units, low byte first. Implementations
// supply the byte operations, positioning and closing; the base builds the character, 16-bit and
// text operations on them. Reads past the end never fail: they give 0 and AtEnd tells.
#pragma once

#include <cstdint>

#include "foundation/VconString.h"
#include "foundation/ppParameter.h"

class ppStream {
 public:
  virtual ~ppStream() = default;

  virtual char ReadChar();
  virtual uint8_t ReadByte() = 0;
  // Two characters: the first is the low byte.
  virtual uint16_t ReadShort();
  virtual void WriteChar(char c);
  virtual void WriteByte(uint8_t b) = 0;
  // The low byte first.
  virtual void WriteShort(uint16_t value);
  virtual bool AtEnd() = 0;
  // Positions are byte offsets from the start.
  virtual void Seek(uint32_t position) = 0;
  virtual int32_t Tell() = 0;
  virtual void SeekBack(int32_t n) = 0;
  // Back by n 16-bit units.
  virtual void SeekBackWide(int32_t n);
  virtual void Close() = 0;
  // Whether the content is UTF-16 text.
  virtual bool IsWide();
  // Each unit in order, without byte-order mark or terminator.
  virtual void WriteWideText(const Vcon::WString& text);
  // Each character in order, without terminator.
  virtual void WriteText(const Vcon::String& text);
  // A value a stream may carry beside its bytes; the base has none (an empty value) and ignores
  // what it is given.
  virtual ppParameter GetParameter();
  virtual void SetParameter(const ppParameter& value);
};
