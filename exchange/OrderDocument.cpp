#include "exchange/OrderDocument.h"

#include "catalogue/records/zelvproDocFil.h"
#include "exchange/DocumentFileOperations.h"

OrderDocument::OrderDocument(DocumentFileOperations& operations, zelvproDocFil& document, plat::HWND owner)
    : operations_(operations), document_(document), owner_(owner) {}

ppFileSpec& OrderDocument::DocumentFile() { return document_.DocumentFile(); }
bool OrderDocument::HasFile() const { return document_.IsSavedOnce(); }
void OrderDocument::SetHasFile(bool hasFile) { document_.SetSavedOnce(hasFile); }
bool OrderDocument::IsModified() const { return document_.IsModified(); }
void OrderDocument::SetModified(bool modified) { document_.SetModified(modified); }
bool OrderDocument::IsSaveInProgress() const { return operations_.SaveInProgress(); }
void OrderDocument::SetSaveInProgress(bool saving) { operations_.SetSaveInProgress(saving); }
bool OrderDocument::Save() { return operations_.Save(); }

Handle OrderDocument::PackForOrder() {
  Handle packed = nullptr;
  Vcon_HandleManager::MemNew(&packed, 0);
  try {
    operations_.PrepareForSave(packed);
  } catch (...) {
    MemDispose(packed);
    throw;
  }
  return packed;
}
