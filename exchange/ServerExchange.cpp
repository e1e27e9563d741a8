#include "exchange/ServerExchange.h"

#include "calculation/ShoppingListXml.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/records/AutoSaveThread.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxApplicationFil.h"
#include "catalogue/records/zelvproDocFil.h"
#include "exchange/DocumentFileOperations.h"
#include "exchange/ParseLoginReply.h"
#include "exchange/ParseServerFileList.h"
#include "exchange/Save2ServerFailure.h"
#include "exchange/Save2ServerSession.h"
#include "exchange/ServerAddress.h"
#include "exchange/ServerDialogParent.h"
#include "exchange/ServerFileList.h"
#include "exchange/ShowServerFailure.h"
#include "exchange/qxAlertDialog.h"
#include "exchange/qxServerLoginDialog.h"
#include "exchange/qxServerOpenDialog.h"
#include "exchange/qxServerSaveDialog.h"
#include "foundation/OwnedHandle.h"
#include "framework/ApplicationSettings.h"
#include "platform/MessageBox.h"

namespace {

constexpr int32_t kEmptyName = 11;  // the client failure an empty file name counts as
constexpr int32_t kNoDocumentDataCode = 9;

// The save-in-progress flags (the autosave thread's and the file operations') for the life of a save
// to or an open from the server, cleared on every way out.
class ExchangeRunning {
 public:
  explicit ExchangeRunning(DocumentFileOperations& operations) : operations_(operations) { Set(); }
  ~ExchangeRunning() {
    SaveInProgress = false;
    operations_.SetSaveInProgress(false);
  }
  ExchangeRunning(const ExchangeRunning&) = delete;
  ExchangeRunning& operator=(const ExchangeRunning&) = delete;
  // Sets them again, after a local save that clears them on its own way out.
  void Set() {
    SaveInProgress = true;
    operations_.SetSaveInProgress(true);
  }

 private:
  DocumentFileOperations& operations_;
};

// The list the open dialog shows when it closes is the one to destroy: the list given to it, or the
// one a delete put in its place (the delete handler destroyed the replaced one).
class OpenDialogList {
 public:
  explicit OpenDialogList(qxServerOpenDialog& dialog) : dialog_(dialog) {}
  ~OpenDialogList() { delete dialog_.FileList(); }
  OpenDialogList(const OpenDialogList&) = delete;
  OpenDialogList& operator=(const OpenDialogList&) = delete;

 private:
  qxServerOpenDialog& dialog_;
};

Vcon::WString Trimmed(const Vcon::WString& text) {
  const size_t first = text.find_first_not_of(u' ');
  if (first == Vcon::WString::npos) return {};
  return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

// The application record's text field `name`, widened; empty without the record or the field.
Vcon::WString ApplicationText(const char* name) {
  if (ApplicationRecordFile == nullptr || ApplicationRecord == nullptr) return {};
  const RecordField field(*ApplicationRecordFile, name);
  return field.Exists() ? Vcon::WString(field.Text(ApplicationRecord)) : Vcon::WString();
}

}  // namespace

ServerExchange::ServerExchange(zelvproDocFil& document, DocumentFileOperations& operations, ppView* window)
    : document_(document), operations_(operations), window_(window) {
  document_.SetServerDeleteService(this);
}

ServerExchange::~ServerExchange() { document_.SetServerDeleteService(nullptr); }

void ServerExchange::SetCredentials(const Vcon::WString& userName, const Vcon::WString& password) {
  userName_ = userName;
  password_ = password;
}

bool ServerExchange::LoginToServer() {
  if (FrameLocked()) {
    userName_.clear();
    password_.clear();
  }
  qxServerLoginDialog dialog(window_, &userName_, &password_, ApplicationText("webSite"));
  for (;;) {
    const int32_t result = dialog.RunModal();
    if (result == qxServerDialog::kAccept) {
      if (AttemptLogin()) return loggedIn_ = true;
    } else if (result <= qxServerDialog::kCancel) {
      // Cancel, or a dialog that could not run at all: asking again would never end.
      return false;
    }
  }
}

bool ServerExchange::AttemptLogin() {
  const plat::HWND parent = ServerDialogParent(window_);
  try {
    const ServerAddress address = ServerAddress::FromSettings();
    auto session = std::make_unique<Save2ServerSession>(kAgent, address.host, address.path);
    Vcon::WString country, language;
    GetLanguageCodes(country, language);
    session->SetCredentials(userName_, password_, language);
    session->SetSignatureVersion(ApplicationText("appSignature"), ApplicationText("appVersion"));
    if (!ParseLoginReply(parent, session->Login(), kLoginRefusedText)) return false;
    session_ = std::move(session);
    return true;
  } catch (const Save2ServerFailure& failure) {
    ShowServerFailure(parent, failure, kLoginFailedText);
    return false;
  }
}

bool ServerExchange::EnsureLoggedIn() {
  if (!loggedIn_ || FrameLocked() || session_ == nullptr) loggedIn_ = LoginToServer();
  return loggedIn_;
}

bool ServerExchange::SaveToServer() {
  ExchangeRunning running(operations_);
  if (!EnsureLoggedIn()) return false;
  const plat::HWND parent = ServerDialogParent(window_);
  try {
    const std::unique_ptr<ServerFileList> files = ParseServerFileList(session_->ListFiles());
    qxServerSaveDialog dialog(window_, &serverFileName_, files.get());
    if (dialog.RunModal() != qxServerDialog::kAccept) return false;
    serverFileName_ = Trimmed(serverFileName_);
    if (serverFileName_.empty()) throw Save2ServerFailure(kEmptyName);
    for (const ServerFileEntry& entry : *files) {
      if (entry.name != serverFileName_) continue;
      qxAlertDialog question(window_, u"The file does already exist. Do you want to replace it?",
                             kReplaceQuestion);
      if (question.RunModal() != qxServerDialog::kAccept) return false;
      break;
    }
    OwnedHandle packed;
    operations_.PackWithViewValues(packed.Get());
    const Vcon::String reply = session_->Upload(packed.Get(), serverFileName_);
    if (!ParseLoginReply(parent, reply, kUploadRefused)) return false;
  } catch (const Save2ServerFailure& failure) {
    ShowServerFailure(parent, failure, kSaveFailed);
    return false;
  }
  document_.SetSavedOnce(false);
  document_.SetModified(false);
  return true;
}

void ServerExchange::OpenFromServer() {
  ExchangeRunning running(operations_);
  // Unsaved changes are settled before anything goes to the server: Cancel sends nothing.
  if (!operations_.AskSaveChanges()) return;
  running.Set();
  if (!EnsureLoggedIn()) return;
  const plat::HWND parent = ServerDialogParent(window_);
  try {
    qxServerOpenDialog dialog(window_, &serverFileName_,
                              ParseServerFileList(session_->ListFiles()).release());
    const OpenDialogList files(dialog);
    if (dialog.RunModal() != qxServerDialog::kAccept) return;
    serverFileName_ = Trimmed(serverFileName_);
    if (serverFileName_.empty()) throw Save2ServerFailure(kEmptyName);
    OwnedHandle packed;
    const Vcon::String reply = session_->Download(packed.Get(), serverFileName_);
    if (!ParseLoginReply(parent, reply, kDownloadRefused)) return;
    bool loaded = false;
    try {
      loaded = operations_.Load(packed.Get());
    } catch (int32_t) {
      // Damaged document data: the open document stays as it was.
      plat::MessageBoxA(parent, "Could not load file", "Error", plat::MB_OK);
    }
    if (!loaded) return;
  } catch (const Save2ServerFailure& failure) {
    ShowServerFailure(parent, failure,
                      failure.GetCode() == kNoDocumentDataCode ? kNoDocumentData : kOpenFailed);
    return;
  }
  document_.SetSavedOnce(false);
  document_.SetModified(false);
}

int32_t ServerExchange::Confirm(int32_t textId) {
  // Over the open dialog that asked, the active window: the document window is disabled under it.
  qxAlertDialog question(nullptr, u"Are you sure you want to delete this file?", textId);
  return question.RunModal();
}

Vcon::WString ServerExchange::SendDeleteRequest(const Vcon::WString& fileName) {
  try {
    if (session_ == nullptr) throw Save2ServerFailure(8);
    const Vcon::String reply = session_->Delete(fileName);
    if (reply.find("<accept") != Vcon::String::npos) serverFileName_.clear();
    return Vcon::WString(reply);
  } catch (const Save2ServerFailure& failure) {
    ShowServerFailure(nullptr, failure, kOpenFailed);
    return {};
  }
}

ServerFileList* ServerExchange::ParseFileList(const Vcon::WString& reply) {
  // The reply came widened byte by byte through the code page, which gives every byte back.
  return ParseServerFileList(reply.Narrow()).release();
}

void ServerExchange::DeleteFileList(ServerFileList* list) { delete list; }
