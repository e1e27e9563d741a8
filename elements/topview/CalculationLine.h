// One calculation line being built: the record buffer of the calculation file (layout
// "qxCalculator"), shared from line to line, and the line's run-time references, which travel beside
// the buffer to the calculation. Fields are found by name once and then read and written through
// their handlers. Not owned: the file and the list.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "catalogue/records/RecordField.h"
#include "elements/topview/iCalculationList.h"
#include "foundation/DecimalNumber.h"
#include "foundation/VconString.h"
#include "foundation/ppMoney.h"

class ppDatafile;

class CalculationLine {
 public:
  CalculationLine(ppDatafile& file, iCalculationList& list) : file_(file), list_(list) {}

  int32_t Long(const char* name) { return Field(name).Long(Buffer()); }
  void SetLong(const char* name, int32_t value) { Field(name).SetLong(Buffer(), value); }
  ppMoney Money(const char* name) { return ppMoney::FromRaw(Field(name).MoneyRaw(Buffer())); }
  void SetMoney(const char* name, ppMoney value) { Field(name).SetMoneyRaw(Buffer(), value.Raw()); }
  Vcon::WString Wide(const char* name) { return Field(name).WideText(Buffer()); }
  void SetWide(const char* name, const Vcon::WString& text) { Field(name).SetWideText(Buffer(), text); }
  void SetText(const char* name, const Vcon::String& text) { Field(name).SetText(Buffer(), text); }
  DecimalNumber Quantity(const char* name) { return Field(name).Quantity(Buffer()); }
  void SetQuantity(const char* name, const DecimalNumber& value) { Field(name).SetQuantity(Buffer(), value); }

  // The calculation's clear-buffer, texts-and-totals and add-line operations on this line.
  void Clear() {
    list_.ClearBuffer();
    refs = {};
  }
  void Finish() { list_.FinishLine(refs); }
  void Add() { list_.AddLine(refs); }

  char* Buffer() const;
  iCalculationList::LineRefs refs;

 private:
  const RecordField& Field(const char* name);

  ppDatafile& file_;
  iCalculationList& list_;
  std::map<std::string, RecordField> fields_;
};
