// A quantity field: a DecimalNumber constructed in place at an 8-byte aligned offset, empty when
// its value is zero; packed as its raw word (amount x 8 + decimal places).
#pragma once

#include "database/dbBasic8byteHandler.h"
#include "foundation/VconString.h"

class DecimalNumber;

class dbQuantityHandler : public dbBasic8byteHandler {
 public:
  dbQuantityHandler();

  void SetFromValue(const ppParameter& value, char* field) override;
  void GetAsValue(ppParameter* out, const char* field) const override;
  bool IsEmpty(const char* field) const override;
  char* InitField(char* field) override;
  char* DisposeField(char* field) override;
  char* ClearField(char* field) override;

  // The number as text in the program's plain number format.
  void GetText(Vcon::String& out, const char* field) const;

 protected:
  int64_t StoredWord(const char* field) const override;
  void SetStoredWord(char* field, int64_t word) override;

 private:
  static DecimalNumber& Number(char* field);
  static const DecimalNumber& Number(const char* field);
};
