// The request to delete a document on the retailer's server: made by the server open dialog on its
// stack and broadcast as message 1030 on channel 1000; the document record file's handler fills in
// the outcome before the broadcast returns.
#pragma once

#include <cstdint>

#include "foundation/VconString.h"

class ServerFileList;  // the server exchange's list of server files

struct ServerDeleteRequest {
  // 0 on the way in; the text number of the failure when the server refused.
  int32_t resultTextId = 0;
  Vcon::WString fileName;
  // Empty on the way in; " (<the server's id>)" appended when the server refused with one.
  Vcon::WString messageSuffix;
  // The dialog's list; replaced (and the old one deleted) when the server accepted.
  ServerFileList* fileList = nullptr;
};
