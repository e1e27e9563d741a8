// Reads tab-separated text into a table view through a field map (the map's form is in ppDatafile.h):
// one line is one record, a match-key field finds the record a line updates, and a linked field's text
// names the linked record. The view's virtual steps stay the points where a record class takes part:
// every line goes through ppDatafile::ImportRecord and every value through SetFieldValue.
#pragma once

#include <cstdint>

#include "database/ppDatafile.h"

class dbDatafile;

class ppDatafileImport {
 public:
  // Neither the view nor the map is owned; both must outlive the import.
  ppDatafileImport(ppDatafile& view, Handle fieldMap) : view_(view), fieldMap_(fieldMap) {}

  // Read the whole file, or the file the user picks in the open dialog, and import it (nothing happens
  // without a map, or when the dialog is cancelled).
  void FromFile(const ppFileSpec& path);
  void WithFileDialog();
  // Imports every line of the text inside one transaction, money texts read in the plain format.
  void Text(Handle text);
  // Imports the line at `position` (inside a NUL-terminated text) as one record; returns where the
  // next line starts, or null at the end of the text.
  const char* Record(const char* position);

 private:
  // Imports a text handle (may be null) and disposes it.
  void OwnedText(Handle text);
  void LinkedField(const ppFieldMapEntry& entry, const char* text);
  // Record id of the only record of `file` whose `field` matches `text` by its index; 0 otherwise.
  // The matches are added to `current` when it is given (it then stays the caller's).
  static int32_t FindUniqueMatch(dbDatafile& file, int32_t field, const char* text, Handle current);

  ppDatafile& view_;
  Handle fieldMap_;
};
