// The open document as the two orders (MailOrder, SendOrder) see it: the document record file's file
// record and flags, the plain save of the local document operations, and the packed bytes a save
// would write. Neither the operations nor the record file are owned. User-interface thread only.
#pragma once

#include "exchange/iOrderDocument.h"

class DocumentFileOperations;
class zelvproDocFil;

class OrderDocument : public iOrderDocument {
 public:
  OrderDocument(DocumentFileOperations& operations, zelvproDocFil& document, plat::HWND owner);

  ppFileSpec& DocumentFile() override;
  bool HasFile() const override;
  void SetHasFile(bool hasFile) override;
  bool IsModified() const override;
  void SetModified(bool modified) override;
  bool IsSaveInProgress() const override;
  void SetSaveInProgress(bool saving) override;
  bool Save() override;
  Handle PackForOrder() override;
  plat::HWND OwnerWindow() const override { return owner_; }

 private:
  DocumentFileOperations& operations_;
  zelvproDocFil& document_;
  plat::HWND owner_;
};
