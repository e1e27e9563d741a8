// What the document record file's delete handler needs of the server exchange: the confirmation
// alert, the delete request and the reading of the file list from a reply. The server exchange
// installs it on the document record file (zelvproDocFil::SetServerDeleteService).
#pragma once

#include <cstdint>

#include "foundation/VconString.h"

class ServerFileList;

class iServerDeleteService {
 public:
  virtual ~iServerDeleteService() = default;

  // Runs the modal alert `textId` ("Are you sure you want to delete this file?") over the document
  // window; 1 confirms.
  virtual int32_t Confirm(int32_t textId) = 0;
  // Asks the server to delete `fileName`; answers the reply's text. Failures of the exchange pass to
  // the caller.
  virtual Vcon::WString SendDeleteRequest(const Vcon::WString& fileName) = 0;
  // A new list from the "<file" entries of a reply; the caller owns it.
  virtual ServerFileList* ParseFileList(const Vcon::WString& reply) = 0;
  virtual void DeleteFileList(ServerFileList* list) = 0;
};
