#include "app/shell/ExchangeShellServices.h"

#include <string>

#include "app/shell/ShellSettings.h"
#include "calculation/PriceListTable.h"
#include "calculation/zelvproCalculatorFil.h"
#include "canvas/window/iDocumentCommands.h"
#include "canvas/window/zelvproWindow.h"
#include "catalogue/records/zelvproDocFil.h"
#include "elements/base/zelvproTopCanvas.h"
#include "exchange/DocumentFileOperations.h"
#include "exchange/MailOrder.h"
#include "exchange/OrderDocument.h"
#include "exchange/SendOrder.h"
#include "exchange/ServerExchange.h"
#include "exchange/WindowPlanSteps.h"
#include "foundation/FileRecord.h"
#include "foundation/PosixPath.h"
#include "platform/MessageBox.h"

namespace {

// A file error while an order packs or saves ends that order with one box instead of leaving the
// command with an exception.
void ReportFileError(plat::HWND owner, const std::u16string& what, int32_t code) {
  const std::u16string text = what + u" (error " + Vcon::Utf16FromUtf8(std::to_string(code)) + u").";
  plat::MessageBoxW(owner, text.c_str(), u"Error", plat::MB_OK | plat::MB_ICONHAND);
}

}  // namespace

ExchangeShellServices::ExchangeShellServices() = default;
ExchangeShellServices::~ExchangeShellServices() = default;

void ExchangeShellServices::Attach(zelvproWindow& window, zelvproDocFil& document) {
  server_.reset();
  window_ = &window;
  document_ = &document;
  ownSteps_ = std::make_unique<WindowPlanSteps>(window);
  ownOperations_ = std::make_unique<DocumentFileOperations>(document, *ownSteps_);
}

void ExchangeShellServices::UseDocumentOperations(DocumentFileOperations* operations) {
  // The server exchange holds the operations it was made over: it is made anew on next use.
  server_.reset();
  operations_ = operations;
}

ServerExchange* ExchangeShellServices::Server() {
  DocumentFileOperations* operations = Operations();
  if (operations == nullptr || document_ == nullptr) return nullptr;
  if (server_ == nullptr) server_ = std::make_unique<ServerExchange>(*document_, *operations, window_);
  return server_.get();
}

DocumentFileOperations* ExchangeShellServices::Operations() const {
  return operations_ != nullptr ? operations_ : ownOperations_.get();
}

void ExchangeShellServices::WritePriceList(const Vcon::String& path) {
  // The lines are not stored with the document: after a load the list is empty until a rebuild, so
  // the export rebuilds from the plan first, at once rather than deferred.
  auto* top = window_ != nullptr ? dynamic_cast<zelvproTopCanvas*>(window_->TopCanvas()) : nullptr;
  if (top != nullptr) top->RecalculatePriceList();
  zelvproCalculatorFil* lines = PriceListTable();
  if (lines == nullptr) return;
  DocumentFileRecord file(WideFromString(path));
  try {
    lines->ExportArticleList(file);
  } catch (int32_t code) {
    ReportFileError(window_ != nullptr ? window_->GetHWND() : nullptr,
                    u"The price list could not be written to " +
                        Vcon::SlashedPath(std::u16string_view(WideFromString(path))),
                    code);
  }
}

// The server flows' place: command -32 opens a document from the server, -31 saves it there.
void ExchangeShellServices::OpenFromServer() {
  if (ServerExchange* server = Server()) server->OpenFromServer();
}

void ExchangeShellServices::SaveToServer() {
  if (ServerExchange* server = Server()) server->SaveToServer();
}

void ExchangeShellServices::MailOrder(plat::HWND frame) {
  DocumentFileOperations* operations = Operations();
  if (operations == nullptr || document_ == nullptr) return;
  OrderDocument order(*operations, *document_, window_->GetHWND());
  try {
    ::MailOrder(order, frame);
  } catch (int32_t code) {
    ReportFileError(frame, u"The order could not be prepared", code);
  }
}

void ExchangeShellServices::SendOrder(plat::HWND owner) {
  DocumentFileOperations* operations = Operations();
  if (operations == nullptr || document_ == nullptr) return;
  OrderDocument order(*operations, *document_, owner != nullptr ? owner : window_->GetHWND());
  try {
    ::SendOrder(order, std::string(ShellSettings::Current().WebSite().c_str()));
  } catch (int32_t code) {
    ReportFileError(order.OwnerWindow(), u"The order could not be prepared", code);
  }
}
