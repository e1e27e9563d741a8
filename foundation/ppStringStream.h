// A byte stream over a narrow text held in memory.
//
// It reads from position 0 on. Seek(-1) puts it in append mode, the only mode in which writes
// take effect (each appends one byte); SeekBack and Close return it to reading.
#pragma once

#include <cstdint>

#include "foundation/ppStream.h"

class ppStringStream : public ppStream {
 public:
  // The position value of append mode.
  static constexpr int32_t kAppend = -1;

  explicit ppStringStream(const Vcon::String& content) : text(content) {}

  // The byte at the position, advancing; 0 without moving at the end or in append mode.
  uint8_t ReadByte() override;
  void WriteByte(uint8_t b) override;
  // True from the end on, and in append mode.
  bool AtEnd() override;
  // Sets the position; 0xFFFFFFFF (that is -1) enters append mode, which no other Seek leaves.
  void Seek(uint32_t position) override;
  int32_t Tell() override { return position; }
  // Back n bytes, never before 0.
  void SeekBack(int32_t n) override;
  void Close() override { position = 0; }

  const Vcon::String& Text() const { return text; }

 private:
  Vcon::String text;
  int32_t position = 0;
};
