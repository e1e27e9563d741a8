#include "exchange/SendOrder.h"

#include <string>

#include "exchange/OrderRequest.h"
#include "exchange/TcpConnection.h"
#include "foundation/CurrentFolder.h"
#include "foundation/FileOperations.h"
#include "foundation/OwnedHandle.h"
#include "foundation/PosixPath.h"
#include "foundation/ShellOpen.h"
#include "foundation/TextsById.h"
#include "platform/MessageBox.h"

namespace {

constexpr int32_t kConsentText = 6246;
constexpr int32_t kConsentTitle = 6247;

std::u16string Wide(const std::string& utf8) { return Vcon::Utf16FromUtf8(utf8); }

void ShowFailure(iOrderDocument& document, const std::u16string& text) {
  const Vcon::WString title = TextById(kConsentTitle, "Internet Access");
  plat::MessageBoxW(document.OwnerWindow(), text.c_str(), title.c_str(), plat::MB_OK | plat::MB_ICONSTOP);
}

// The whole file as a handle the caller owns; null when it cannot be read (an empty file gives an
// empty handle).
Handle ReadTemplate(const char16_t* path) {
  try {
    Handle h = ReadFileToHandle(ppFileSpec(Vcon::WString(path)));
    if (h == nullptr) Vcon_HandleManager::MemNew(&h, 0);
    return h;
  } catch (int32_t) {
    return nullptr;
  }
}

// Writes the answer in place of an earlier one: the earlier file goes only once the new one is whole
// under its temporary name.
bool WriteAnswer(Handle answer, const Vcon::WString& path) {
  const Vcon::WString temporary = path + Vcon::WString(u".new");
  ppFileSpec file;
  try {
    ppFileSpec stale(temporary);
    try {
      FileDelete(stale);
    } catch (int32_t) {
    }
    ppFileSpec created(temporary);
    FileCreate(created);
    FileOpen(file, created, false);
    const auto size = uint32_t(MemGetSize(answer));
    if (size > 0) FileWrite(file, *answer, size, 0);
    FileFlush(file);
    FileClose(file);
    ppFileSpec target(path);
    try {
      FileDelete(target);
    } catch (int32_t) {
    }
    ppFileSpec from(temporary);
    FileRename(from, target);
    return true;
  } catch (int32_t) {
    if (file.IsOpen()) {
      try {
        FileClose(file);
      } catch (int32_t) {
      }
    }
    return false;
  }
}

// Clears the save-in-progress flag for the order and puts the remembered value back at its end.
class SaveFlagGuard {
 public:
  explicit SaveFlagGuard(iOrderDocument& document)
      : document_(document), saving_(document.IsSaveInProgress()) {
    document_.SetSaveInProgress(false);
  }
  ~SaveFlagGuard() { document_.SetSaveInProgress(saving_); }
  SaveFlagGuard(const SaveFlagGuard&) = delete;
  SaveFlagGuard& operator=(const SaveFlagGuard&) = delete;

 private:
  iOrderDocument& document_;
  const bool saving_;
};

}  // namespace

SendOrderResult SendOrder(iOrderDocument& document, const std::string& webSite) {
  const Vcon::WString question = TextById(kConsentText,
                                          "To save a file on our central server, it is necessary to access "
                                          "the Internet. Would you like to continue?");
  const Vcon::WString title = TextById(kConsentTitle, "Internet Access");
  if (plat::MessageBoxW(document.OwnerWindow(), question.c_str(), title.c_str(),
                        plat::MB_YESNO | plat::MB_ICONQUESTION) != plat::IDYES)
    return SendOrderResult::kRefused;

  const SaveFlagGuard saveFlag(document);
  OwnedHandle packed(document.PackForOrder());
  if (packed.Get() == nullptr) return SendOrderResult::kNoAnswer;  // the packing reported its own failure

  OwnedHandle head(ReadTemplate(kOrderHeadTemplatePath));
  OwnedHandle body(ReadTemplate(kOrderBodyTemplatePath));
  if (head.Get() == nullptr || body.Get() == nullptr) {
    const char16_t* missing = head.Get() == nullptr ? kOrderHeadTemplatePath : kOrderBodyTemplatePath;
    ShowFailure(document, u"The order template " + Vcon::SlashedPath(missing) + u" could not be read.");
    return SendOrderResult::kTemplateMissing;
  }
  OrderRequest::Fill(head.Get(), body.Get(), packed.Get());

  const std::string host = OrderRequest::HostOfWebSite(webSite);
  TcpConnection connection(host, kOrderPort);
  if (!connection.IsConnected()) {
    ShowFailure(document, u"The order service " + Wide(host) + u" could not be reached: " +
                              Wide(connection.Failure()) + u".");
    return SendOrderResult::kNotConnected;
  }

  // The interim answer after the head goes into the head's handle, which is not used again.
  OwnedHandle answer;
  bool answered = connection.Send(head.Get()) >= 0 && connection.Receive(head.Get()) > 0 &&
                  connection.Send(body.Get()) >= 0 && connection.ReceiveUntilClosed(answer.Get()) > 0;
  if (!answered) {
    const std::string why =
        connection.Failure().empty() ? "the service closed the connection" : connection.Failure();
    ShowFailure(document, u"The order service " + Wide(host) + u" did not answer: " + Wide(why) + u".");
    return SendOrderResult::kNoAnswer;
  }
  OrderRequest::CutToMarkup(answer.Get());

  const Vcon::WString answerPath = GetCurrentDir() + Vcon::WString(u"settings\\output.htm");
  if (!WriteAnswer(answer.Get(), answerPath)) {
    ShowFailure(document, u"The answer of the order service could not be written to " +
                              Vcon::SlashedPath(kOrderAnswerPath) + u".");
    return SendOrderResult::kAnswerNotWritten;
  }
  Vcon::WString command = Vcon::WString(u"open \"") + answerPath + Vcon::WString(u"\"");
  ShellExecuteCommand(command, document.OwnerWindow());
  return SendOrderResult::kAnswerOpened;
}
