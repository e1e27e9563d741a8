#pragma once
// The document window's exchange with the retailer's document server: logging in, saving the open
// document to the server, opening a document from it, and deleting a server file from the open
// dialog (the document record file's handler of that request calls this object through
// iServerDeleteService, which the constructor installs and the destructor removes).
//
// State for the whole run: the session of the last good login (it lives until this object goes; a
// later login, which the frame lock forces before every save and open, replaces it), whether that
// login succeeded, the document's name on the server, and the user name and password that the login
// dialog shows and edits. While the frame is locked, every login starts with both fields empty.
//
// Save and open set the save-in-progress flag (the autosave's global and the file operations' own)
// for their whole run and clear it on every way out, exceptions included. Every client failure is
// shown with the server error message and ends the flow as if cancelled; a successful save or open
// leaves the document without a local file and unmodified.
//
// The document, its file operations and the window the dialogs belong to are not owned and outlive
// this object. User-interface thread only.

#include <cstdint>
#include <memory>

#include "catalogue/records/iServerDeleteService.h"
#include "foundation/VconString.h"

class DocumentFileOperations;
class Save2ServerSession;
class ppView;
class zelvproDocFil;

class ServerExchange : public iServerDeleteService {
 public:
  static constexpr const char* kAgent = "Zelvo Pro";
  static constexpr int32_t kReplaceQuestion = 7422, kDeleteQuestion = 7423;
  static constexpr int32_t kUploadRefused = 7601, kDownloadRefused = 7602;
  static constexpr int32_t kNoDocumentData = 7604, kSaveFailed = 7606, kOpenFailed = 7607;

  // `window` is the document window (null: dialogs over the active window).
  ServerExchange(zelvproDocFil& document, DocumentFileOperations& operations, ppView* window);
  ~ServerExchange() override;
  ServerExchange(const ServerExchange&) = delete;
  ServerExchange& operator=(const ServerExchange&) = delete;

  // The login dialog until the server accepts a login (true; the new session replaces the old one,
  // and the exchange counts as logged in) or the user cancels (false). A refused or failed attempt is shown
  // and the dialog comes back with what was typed.
  bool LoginToServer();
  // Logs in when needed, lists the user's files, asks for the name (and before replacing a listed
  // file of exactly that name), packs the document and uploads it. True when the server took it.
  bool SaveToServer();
  // Asks about unsaved changes first, logs in when needed, lists the files, lets the user pick one
  // (or delete files) and loads the downloaded document. Nothing changes when anything fails.
  void OpenFromServer();

  bool LoggedIn() const { return loggedIn_; }
  Save2ServerSession* Session() const { return session_.get(); }
  const Vcon::WString& ServerFileName() const { return serverFileName_; }
  void SetServerFileName(const Vcon::WString& name) { serverFileName_ = name; }
  const Vcon::WString& UserName() const { return userName_; }
  const Vcon::WString& Password() const { return password_; }
  void SetCredentials(const Vcon::WString& userName, const Vcon::WString& password);

  // ---- The delete request of the open dialog.
  // The alert `textId` with OK and Cancel over the open dialog; 1 confirms.
  int32_t Confirm(int32_t textId) override;
  // Sends the delete request over the current session. An accepting reply also forgets the document's
  // server name. A client failure is shown here (text 7607) and answered as an empty reply, which the
  // handler records as a refusal, so that nothing unwinds through the open dialog.
  Vcon::WString SendDeleteRequest(const Vcon::WString& fileName) override;
  ServerFileList* ParseFileList(const Vcon::WString& reply) override;
  void DeleteFileList(ServerFileList* list) override;

 private:
  // One login: a new session to the configured address, the login request and its check. Failures
  // are shown; answers whether the server accepted.
  bool AttemptLogin();
  // The login the save and open need first: anew when not logged in, without a session, or while the
  // frame is locked.
  bool EnsureLoggedIn();

  zelvproDocFil& document_;
  DocumentFileOperations& operations_;
  ppView* window_;
  std::unique_ptr<Save2ServerSession> session_;
  bool loggedIn_ = false;
  Vcon::WString serverFileName_;
  Vcon::WString userName_;
  Vcon::WString password_;
};
