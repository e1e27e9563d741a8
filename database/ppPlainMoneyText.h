// For its lifetime, a table view reads and writes money texts in the plain (default-constructed)
// DecimalFormat, so that a table moved as text does not depend on the user's preferences. Only the view
// changes: the process-wide money format that other threads format with is left alone.
#pragma once

#include "database/ppDatafile.h"
#include "foundation/DecimalFormat.h"

class ppPlainMoneyText {
 public:
  explicit ppPlainMoneyText(ppDatafile& view) : view_(view), saved_(view.MoneyTextFormat()) {
    view_.SetMoneyTextFormat(&plain_);
  }
  ~ppPlainMoneyText() { view_.SetMoneyTextFormat(saved_); }
  ppPlainMoneyText(const ppPlainMoneyText&) = delete;
  ppPlainMoneyText& operator=(const ppPlainMoneyText&) = delete;

 private:
  ppDatafile& view_;
  const DecimalFormat* saved_;
  const DecimalFormat plain_;
};
