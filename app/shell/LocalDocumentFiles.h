// The running program's local document files: the plan steps over the document window, the file
// operations over the document record file, the window's document commands (new, open, save, save
// as, the order text, the autosave, the close query, the start document and documents named from
// outside) and the room's document loader (room templates).
//
// Start-up makes one before the document window, whose construction already opens or resumes the
// start document; the steps therefore find the window through the element host at every step. It
// installs the room's loader while it lives. It must outlive the document window; the document
// record file must outlive it. User-interface thread only.
#pragma once

#include "exchange/DocumentCommands.h"
#include "exchange/DocumentFileOperations.h"
#include "exchange/WindowPlanSteps.h"

class zelvproDocFil;

class LocalDocumentFiles {
 public:
  explicit LocalDocumentFiles(zelvproDocFil& document);
  ~LocalDocumentFiles();
  LocalDocumentFiles(const LocalDocumentFiles&) = delete;
  LocalDocumentFiles& operator=(const LocalDocumentFiles&) = delete;

  iDocumentCommands& Commands() { return commands_; }
  DocumentFileOperations& Operations() { return operations_; }

 private:
  WindowPlanSteps steps_;
  DocumentFileOperations operations_;
  DocumentCommands commands_;
};
