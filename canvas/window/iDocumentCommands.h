// The document operations the document window's commands start: new, open, save, save as, export,
// the question about unsaved changes, resuming from the autosave file, writing it and opening a file
// named from outside. The document exchange implements them; until it is installed the neutral
// operations do nothing and let the window close. User-interface thread only.
#pragma once

#include <cstdint>
#include <type_traits>
#include <utility>

#include "catalogue/records/zelvproDocFil.h"

// The file record (foundation/FileRecord.h) that names a document: its path, and its handle while
// open.
using DocumentFileRecord = std::remove_reference_t<decltype(std::declval<zelvproDocFil&>().DocumentFile())>;

class iDocumentCommands {
 public:
  virtual ~iDocumentCommands() = default;

  virtual void NewDocument() {}
  // Asks about unsaved changes, then the open dialog.
  virtual void OpenWithDialog() {}
  // Saves under the document's name, or asks for one when it has none yet.
  virtual void Save() {}
  // The save dialog for `viewId` (the item list offers the text and picture exports too).
  virtual void SaveAs(int32_t /*viewId*/) {}
  virtual void ExportText() {}
  // The Yes/No/Cancel question about unsaved changes: false when the user cancelled.
  virtual bool AskSaveChanges() { return true; }
  // Closes the document's file once closing was allowed.
  virtual void CloseFile() {}
  virtual void ResumeFromAutoSave() {}
  virtual void WriteAutoSave() {}
  // Opens `file` (named on the command line or by another program).
  virtual void OpenFile(const DocumentFileRecord& /*file*/) {}

  // Operations that do nothing. Stateless.
  static iDocumentCommands& Neutral();
};
