#pragma once
// Where the document server is: its host name and the path of its request handler on that host,
// both narrow (Windows-1252) text as the server client takes them.
//
// The installation names them in ".\settings\ip.txt" (relative to the program folder): two settings
// fields (ParseTabField: a field ends at TAB, CR, LF or NUL, may be quoted, \t \n \r \\ decoded), the
// host first, each at most kMaxFieldBytes. Without that file texts 7510 (host) and 7511 (path) of the
// current language name them. A value that is missing or empty is "*", which no server answers: the
// login then fails with the client's own error rather than reaching some other host.

#include <cstddef>
#include <string_view>

#include "foundation/VconString.h"

struct ServerAddress {
  static constexpr size_t kMaxFieldBytes = 1023;
  static constexpr int32_t kHostText = 7510, kPathText = 7511;
  static constexpr const char16_t* kFilePath = u".\\settings\\ip.txt";

  // The address the bytes of an address file give; any bytes are accepted.
  static ServerAddress FromFileBytes(std::string_view bytes);
  // The address file when it can be read, else texts 7510 and 7511. User-interface thread (texts).
  static ServerAddress FromSettings();

  Vcon::String host = "*";
  Vcon::String path = "*";
};
