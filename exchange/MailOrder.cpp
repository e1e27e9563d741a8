#include "exchange/MailOrder.h"

#include <string>

#include "exchange/MailMessage.h"
#include "exchange/MailProvider.h"
#include "exchange/MailTemplate.h"
#include "foundation/CurrentFolder.h"
#include "foundation/FileDialogs.h"
#include "foundation/FileOperations.h"
#include "foundation/OwnedHandle.h"
#include "foundation/PosixPath.h"
#include "foundation/TextsById.h"
#include "platform/MessageBox.h"

namespace {

// Puts the document and the current folder back as they were before the order, whatever happens in
// between.
class OrderStateGuard {
 public:
  explicit OrderStateGuard(iOrderDocument& document)
      : document_(document),
        folder_(GetCurrentDir()),
        file_(document.DocumentFile()),
        hasFile_(document.HasFile()),
        modified_(document.IsModified()) {}
  ~OrderStateGuard() {
    document_.DocumentFile() = file_;
    SetCurrentDir(folder_);
    document_.SetHasFile(hasFile_);
    document_.SetModified(modified_);
  }
  OrderStateGuard(const OrderStateGuard&) = delete;
  OrderStateGuard& operator=(const OrderStateGuard&) = delete;

 private:
  iOrderDocument& document_;
  const Vcon::WString folder_;
  const ppFileSpec file_;
  const bool hasFile_;
  const bool modified_;
};

void DeleteQuietly(const Vcon::WString& path) {
  ppFileSpec file(path);
  try {
    FileDelete(file);
  } catch (int32_t) {
    // Already gone (a failed save), or held: nothing to report.
  }
}

// Whether the file at `path` can be read and is not empty.
bool HoldsBytes(const Vcon::WString& path) {
  try {
    Handle bytes = ReadFileToHandle(ppFileSpec(path));
    const bool any = bytes != nullptr && MemGetSize(bytes) > 0;
    MemDispose(bytes);
    return any;
  } catch (int32_t) {
    return false;
  }
}

}  // namespace

bool MailOrder(iOrderDocument& document, plat::HWND frame, MailProvider* provider) {
  MailProvider ownProvider;
  MailProvider& mail = provider != nullptr ? *provider : ownProvider;

  const OrderStateGuard guard(document);
  if (!ProgramFolder.empty()) SetCurrentDir(ProgramFolder);
  const Vcon::WString orderPath = GetCurrentDir() + Vcon::WString(kMailOrderFileName);
  document.DocumentFile().path = orderPath;

  // Made empty first (an existing file is kept), then the plain save writes the document into it.
  try {
    ppFileSpec created(orderPath);
    FileCreate(created);
  } catch (int32_t) {
  }
  // A failed save has told the user already; a mail with an empty attachment would look sent.
  if (!document.Save()) {
    DeleteQuietly(orderPath);
    return false;
  }
  // The mail carries the document as saved: a save that failed and that the user completed with
  // Save As wrote it under the name the user chose, and the order file stayed empty.
  const Vcon::WString savedPath = document.DocumentFile().path;
  if (!HoldsBytes(savedPath)) {
    DeleteQuietly(orderPath);
    return false;
  }

  bool handed = false;
  Handle text = nullptr;
  try {
    text = ReadFileToHandle(ppFileSpec(Vcon::WString(kMailTemplatePath)));
  } catch (int32_t) {
    DeleteQuietly(orderPath);
    const std::u16string message = u"The mail template " + Vcon::SlashedPath(kMailTemplatePath) +
                                   u" could not be read, so no mail was made.";
    plat::MessageBoxW(frame, message.c_str(), u"Order by e-mail", plat::MB_OK | plat::MB_ICONSTOP);
    return false;
  }
  OwnedHandle owned(text);
  const MailTemplate fields = MailTemplate::Parse(
      text == nullptr ? std::string_view() : std::string_view(*text, size_t(MemGetSize(text))));

  MailMessage message;
  message.recipientName = fields.recipientName;
  message.recipientAddress = fields.recipientAddress;
  message.subject = fields.subject;
  message.body = fields.body;
  message.attachmentPath = savedPath;
  message.attachmentName = fields.attachmentName.empty() ? Vcon::String("ordre.qxf") : fields.attachmentName;
  handed = mail.Hand(message, frame);

  DeleteQuietly(orderPath);
  return handed;
}
