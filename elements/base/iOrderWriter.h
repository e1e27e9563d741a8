// What a plan element asks of the order writer while it writes its lines into an order text file:
// the open file, the order number and the module counter. The order writer of the document exchange
// implements it and hands itself to the top canvas's WriteOrderModule.
#pragma once

#include <cstdint>

class ppFileSpec;

class iOrderWriter {
 public:
  virtual ~iOrderWriter() = default;
  // The order file, open for writing; lines are appended at its current position.
  virtual ppFileSpec& File() = 0;
  virtual int32_t OrderNumber() = 0;
  // The number of the module line written last (0 before the first); NextModule moves it on by one
  // and answers the new number.
  virtual int32_t CurrentModule() = 0;
  virtual int32_t NextModule() = 0;
};
