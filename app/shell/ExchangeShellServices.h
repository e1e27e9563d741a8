// The shell services as the running program provides them: the orders by e-mail and over TCP on the
// open document, the price list written to the record's output file after a rebuild, and the
// document server's open and save (one server exchange for the run, so a login holds).
//
// The orders work on the document window's local document operations. Until the window hands its own
// in (UseDocumentOperations), Attach makes a set of its own over the window and the one document
// record file; both must outlive this object. Start-up owns it and installs it with
// iShellServices::Install; user-interface thread only.
#pragma once

#include <memory>

#include "app/shell/iShellServices.h"

class DocumentFileOperations;
class ServerExchange;
class WindowPlanSteps;
class zelvproDocFil;
class zelvproWindow;

class ExchangeShellServices : public iShellServices {
 public:
  ExchangeShellServices();
  ~ExchangeShellServices() override;

  // The document window the orders save and pack through, over `document` (the run's document record
  // file). Without this the orders and the price list do nothing.
  void Attach(zelvproWindow& window, zelvproDocFil& document);
  // The window's own document operations in place of the ones Attach made (null: those again).
  void UseDocumentOperations(DocumentFileOperations* operations);
  // The operations the orders use now, or null before Attach.
  DocumentFileOperations* Operations() const;

  // Brings the price list up to date from the plan at once, then writes it to `path`; a file error
  // is reported in a box that names the file.
  void WritePriceList(const Vcon::String& path) override;
  // The document server (commands -32 and -31), through the one server exchange of the run.
  void OpenFromServer() override;
  void SaveToServer() override;
  // The order by e-mail, its message boxes owned by `frame`.
  void MailOrder(plat::HWND frame) override;
  // The order over TCP to the record's web site, after the user's consent (asked by the order).
  void SendOrder(plat::HWND owner) override;

 private:
  zelvproWindow* window_ = nullptr;
  zelvproDocFil* document_ = nullptr;
  std::unique_ptr<WindowPlanSteps> ownSteps_;
  std::unique_ptr<DocumentFileOperations> ownOperations_;
  DocumentFileOperations* operations_ = nullptr;  // not owned when handed in
  // Made on first use over the operations then in use; it is the document's delete service while it
  // lives, so it goes before the document record file.
  std::unique_ptr<ServerExchange> server_;
  ServerExchange* Server();
};
