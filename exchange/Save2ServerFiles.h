#pragma once
// The rows of the server dialogs' file grid: the entries of a server file list, read through the
// property interface. Property 0 is "FileName" (the entry's name), every other name and index reads
// "Date" (the server's date text as it came). The grid makes row r current (GoToItem) and reads the
// property of each column. Read-only; nothing of the list is changed.
//
// Every read is checked against the list: an empty list, an item outside it or no list at all read as
// the empty text, so whatever a server sent, no cell read can go wrong.
//
// Ownership: the list belongs to the dialog's caller and must outlive the adapter.

#include <cstdint>

#include "database/iProperty.h"

class ServerFileList;

class Save2ServerFiles : public iProperty {
 public:
  static constexpr int32_t kFileName = 0;
  static constexpr int32_t kDate = 1;

  explicit Save2ServerFiles(const ServerFileList* files) : files_(files) {}

  // "FileName" gives 0, every other name 1.
  int32_t IndexOf(const Vcon::String& name) override;
  int32_t GetPropertyCount() override { return 2; }
  // The current entry's name for 0, its date for any other index, as wide text; the empty text when
  // the current item is not in the list.
  ppParameter GetValue(int32_t index) override;
  void GoToItem(int32_t i) override { current_ = i; }
  int32_t GetCurrentItem() override { return current_; }
  int32_t GetItemCount() override;

 private:
  int32_t current_ = 0;
  const ServerFileList* files_;  // not owned
};
