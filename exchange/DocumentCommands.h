// The document window's document commands over the local document file operations: New, Open, Save
// (save as while the document has no file), Save As, the close query, resume and the autosave
// command. The start-up installs one in the window's parts; the operations are not owned and must
// outlive the window. User-interface thread only.
#pragma once

#include <cstdint>

#include "canvas/window/iDocumentCommands.h"

class DocumentFileOperations;
class zelvproDocFil;

class DocumentCommands : public iDocumentCommands {
 public:
  DocumentCommands(DocumentFileOperations& operations, zelvproDocFil& document);

  void NewDocument() override;
  void OpenWithDialog() override;
  void Save() override;
  void SaveAs(int32_t viewId) override;
  void ExportText() override;
  bool AskSaveChanges() override;
  // Closing was allowed: the autosave file has served its purpose.
  void CloseFile() override;
  // The start without a document named: the autosaved document, else the new document.
  void ResumeFromAutoSave() override;
  void WriteAutoSave() override;
  // Asks about unsaved changes, then opens `file`.
  void OpenFile(const DocumentFileRecord& file) override;

 private:
  DocumentFileOperations& operations_;
  zelvproDocFil& document_;
};
