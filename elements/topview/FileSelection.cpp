#include "elements/topview/FileSelection.h"

#include "database/HandleList.h"
#include "database/ppDatafile.h"

std::vector<int32_t> FileSelection::Get(ppDatafile& file) {
  Handle selection = file.GetSelection();
  std::vector<int32_t> ids(HandleList::Count(selection));
  for (uint32_t i = 0; i < ids.size(); ++i) ids[i] = HandleList::At(selection, i);
  return ids;
}

void FileSelection::Set(ppDatafile& file, const std::vector<int32_t>& ids) {
  Handle selection = file.GetSelection();
  HandleList::Reset(selection);
  if (!ids.empty()) HandleList::Append(selection, ids.data(), uint32_t(ids.size()));
}
