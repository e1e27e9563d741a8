#include "exchange/Save2ServerFiles.h"

#include <limits>

#include "exchange/ServerFileList.h"

int32_t Save2ServerFiles::IndexOf(const Vcon::String& name) { return name == "FileName" ? kFileName : kDate; }

int32_t Save2ServerFiles::GetItemCount() {
  if (files_ == nullptr) return 0;
  // A grid counts rows in 32 bits; no server list comes near that.
  const size_t count = files_->size();
  return count > size_t(std::numeric_limits<int32_t>::max()) ? std::numeric_limits<int32_t>::max()
                                                             : int32_t(count);
}

ppParameter Save2ServerFiles::GetValue(int32_t index) {
  if (files_ == nullptr || current_ < 0 || size_t(current_) >= files_->size()) return ppParameter("");
  const ServerFileEntry& entry = (*files_)[size_t(current_)];
  return ppParameter(index == kFileName ? entry.name : entry.date);
}
