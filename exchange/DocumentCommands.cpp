#include "exchange/DocumentCommands.h"

#include "exchange/DocumentFileOperations.h"

DocumentCommands::DocumentCommands(DocumentFileOperations& operations, zelvproDocFil& document)
    : operations_(operations), document_(document) {}

void DocumentCommands::NewDocument() { operations_.NewDocument(); }

void DocumentCommands::OpenWithDialog() { operations_.OpenWithDialog(); }

void DocumentCommands::Save() {
  if (document_.IsSavedOnce())
    operations_.Save();
  else
    operations_.SaveAs();
}

void DocumentCommands::SaveAs(int32_t /*viewId*/) { operations_.SaveAs(); }

void DocumentCommands::ExportText() { operations_.ExportOrderText(); }

bool DocumentCommands::AskSaveChanges() { return operations_.AskSaveChanges(); }

void DocumentCommands::CloseFile() { document_.DeleteAutoSaveFile(); }

void DocumentCommands::ResumeFromAutoSave() { operations_.StartWithoutCommandLine(); }

void DocumentCommands::WriteAutoSave() { operations_.WriteAutoSave(); }

void DocumentCommands::OpenFile(const DocumentFileRecord& file) {
  // A file handed over by another start replaces the open document: unsaved changes are asked about
  // first, as for the open dialog.
  if (operations_.AskSaveChanges()) operations_.OpenDocumentFile(file.path);
}
