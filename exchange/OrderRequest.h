#pragma once
// The pieces of the order over TCP that work on bytes: the request built from its two templates, the
// order service's host taken from the application record, and the answer cut to its markup.

#include <string>

#include "foundation/Vcon_HandleManager.h"
#include "foundation/VconString.h"

class OrderRequest {
 public:
  // Puts the packed document into the body template in place of each "$FILE$" (each occurrence
  // once: bytes of the document that read "$FILE$" are not replaced again), then the body's length
  // in bytes, as decimal digits without separators, into the head template in place of each
  // "$LENGTH$". A body template without "$FILE$" stays as it is; the head carries its length all
  // the same.
  static void Fill(Handle head, Handle body, Handle document);

  // Cuts `answer` to the text from its first "<" to its last ">", both kept; an answer without
  // either, or with the last ">" before the first "<", becomes empty. Linear in the answer.
  static void CutToMarkup(Handle answer);
  static std::string CutToMarkup(std::string_view answer);

  // The host of the application record's web site field: a scheme ("https://"), a user part, a path,
  // a query and a port are dropped, so that a record written as a web address still names its host
  // ("https://shop.example:8080/x" gives "shop.example"). Blanks around it are dropped too.
  static std::string HostOfWebSite(std::string_view webSite);
};
