// Writes the selected records of a table view as tab-separated text through a field map (the map's form
// is in ppDatafile.h): one line a record, a linked field as the text of the linked record's field. Every
// record goes through the view's virtual ppDatafile::ExportRecord.
#pragma once

#include "database/ppDatafile.h"

// Writes the value's text followed by TAB, or by CR LF when `endOfLine`, into an open file. Money is
// written in ppMoney's process-wide format; the calculation's export writes its lines with it too.
void WriteValueAsText(ppFileSpec& file, const ppParameter& value, bool endOfLine);

class ppDatafileExport {
 public:
  // Neither the view nor the map is owned; both must outlive the export.
  ppDatafileExport(ppDatafile& view, Handle fieldMap) : view_(view), fieldMap_(fieldMap) {}

  // Exports into the text file the user names in the save dialog, then closes it (nothing happens
  // without a map, or when the dialog is cancelled).
  void WithFileDialog();
  // Writes every selected record, in selection order, money in the plain format.
  void ToFile(ppFileSpec& file);
  // Writes the current record's line; money in the view's money text format.
  void Record(ppFileSpec& file);

 private:
  // The value an entry exports: the field's own, or the linked record's field (empty text when the
  // link leads nowhere).
  ppParameter Value(const ppFieldMapEntry& entry);

  ppDatafile& view_;
  Handle fieldMap_;
};
