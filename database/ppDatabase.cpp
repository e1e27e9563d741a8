#include "database/ppDatabase.h"

#include "database/ppDatafile.h"

namespace {
constexpr const char* kSettingsTable = "qxSettings";
constexpr const char* kIdentifierField = "identifier";
}  // namespace

ppDatabase::ppDatabase(ppFileSpec& fileSpec) : dbDatabase(fileSpec) { ReadIdentifier(); }

ppDatabase::~ppDatabase() { views_.clear(); }

void ppDatabase::ReadIdentifier() {
  const int32_t count = FileCount();
  for (int32_t i = 0; i < count; ++i) {
    if (FileNameAt(i) != kSettingsTable) continue;
    ppDatafile settings(kSettingsTable, *this);
    settings.SelectAll();
    settings.GoToItem(0);
    if (settings.GetSelectedCount() > 0) identifier_ = settings.GetValueByName(kIdentifierField).ToLong();
    return;
  }
}

int32_t ppDatabase::IndexOf(const Vcon::String& name) {
  const int32_t count = GetPropertyCount();
  for (int32_t i = 0; i < count; ++i) {
    if (FileNameAt(i) == name.c_str()) return i;
  }
  return kNoProperty;
}

void ppDatabase::GetPropertyName(Vcon::String& out, int32_t index) {
  out.clear();
  if (index >= 0 && index < GetPropertyCount()) out = FileNameAt(index);
}

int32_t ppDatabase::GetPropertyCount() { return FileCount(); }

ppParameter ppDatabase::GetValue(int32_t index) {
  auto cached = views_.find(index);
  if (cached != views_.end()) return ppParameter(static_cast<iProperty*>(cached->second.get()));
  const Vcon::String name = NameAt(index);
  if (name.empty()) return ppParameter();
  auto view = std::make_unique<ppDatafile>(name, *this);
  view->SelectAll();
  ppDatafile* made = view.get();
  views_[index] = std::move(view);
  return ppParameter(static_cast<iProperty*>(made));
}

bool ppDatabase::GetString(int32_t, Vcon::WString&, int32_t) { return false; }

bool ppDatabase::CanDeleteRecord(int32_t, int32_t) { return true; }

void ppDatabase::FlushCaches() { Store().TrimCaches(); }
