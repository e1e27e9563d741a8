// A document server's file list reply as the server dialogs show it: cleaned and parsed, then every
// cell of the file grid read through its row source the way the grid reads it, with rows just
// outside the list too, and the header titles. Every cell must be the entry's own text; a row outside
// the list must read the empty text.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>

#include "exchange/ParseServerFileList.h"
#include "exchange/Save2ServerFiles.h"
#include "exchange/Save2ServerHeaders.h"
#include "exchange/Save2ServerSession.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  std::erase(bytes, '\0');  // the client drops NUL bytes as it receives a reply
  const auto list = ParseServerFileList(Save2ServerSession::CleanReply(Vcon::String(std::move(bytes))));
  Save2ServerFiles rows(list.get());
  if (size_t(rows.CountItems()) != list->size()) __builtin_trap();
  for (int32_t r = 0; r < rows.CountItems(); ++r) {
    rows.GoTo(r);
    const ServerFileEntry& entry = (*list)[size_t(r)];
    if (rows.GetValueByName("FileName").AsWString() != entry.name) __builtin_trap();
    if (rows.GetValueByName("Date").AsWString() != entry.date) __builtin_trap();
  }
  for (int32_t outside : {-1, rows.CountItems(), rows.CountItems() + 1, INT_MIN, INT_MAX}) {
    rows.GoTo(outside);
    if (!rows.GetValueAt(0).AsWString().empty() || !rows.GetValueAt(1).AsWString().empty()) __builtin_trap();
  }
  Save2ServerHeaders headers;
  if (headers.GetValueByName("FileName").AsWString().empty()) __builtin_trap();
  return 0;
}
