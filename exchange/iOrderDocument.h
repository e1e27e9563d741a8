#pragma once
// What the two orders (MailOrder, SendOrder) need of the open document: its file record and state
// flags, the plain save, and its packed bytes. The document record file's side of the exchange
// implements it; the orders only call it. User-interface thread only.

#include "foundation/FileRecord.h"
#include "foundation/Vcon_HandleManager.h"
#include "platform/WindowTypes.h"

class iOrderDocument {
 public:
  virtual ~iOrderDocument() = default;

  // The document's file record (its path names the document's file); the mail order points it at
  // its order file for the save and puts the saved copy back afterwards.
  virtual ppFileSpec& DocumentFile() = 0;
  // The has-file (saved-once) and modified flags.
  virtual bool HasFile() const = 0;
  virtual void SetHasFile(bool hasFile) = 0;
  virtual bool IsModified() const = 0;
  virtual void SetModified(bool modified) = 0;
  // The save-in-progress flag that keeps the autosave away.
  virtual bool IsSaveInProgress() const = 0;
  virtual void SetSaveInProgress(bool saving) = 0;

  // The plain save to DocumentFile().path: on success the document has a file and is unmodified. A
  // failure is reported by the save itself (its message and the save-as dialog); answers whether the
  // file was written.
  virtual bool Save() = 0;
  // A new handle, owned by the caller, holding exactly the bytes a save would write at this moment.
  virtual Handle PackForOrder() = 0;

  // The window that owns the order's message boxes (the document window), or null.
  virtual plat::HWND OwnerWindow() const = 0;
};
