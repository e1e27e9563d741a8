#include "catalogue/databases/LanguageTexts.h"

#include <utility>

#include "catalogue/records/RecordField.h"
#include "database/dbDatafile.h"
#include "database/ppDatafile.h"

const LanguageTexts::Texts& LanguageTexts::Of(ppDatafile* strings, int32_t language) {
  static const Texts kNone;
  auto cached = languages_.find(language);
  if (cached != languages_.end()) return cached->second;
  if (strings == nullptr) return kNone;
  const RecordField id(*strings, "id"), code(*strings, "languageCode"), text(*strings, "string");
  // Built apart and entered whole, so that a read that fails leaves the language to be read again.
  Texts texts;
  if (code.Exists()) {
    strings->Select(code.Index(), dbDatafile::kEqual, ppParameter(language), ppParameter(language), '#');
    for (int32_t i = 0; i < strings->GetSelectedCount(); ++i) {
      strings->ReadRecordAt(i, nullptr);
      const char* record = strings->GetRecordBuffer();
      // Checked again: a table whose stored layout has no index on the code selects every record.
      if (code.Long(record) != language) continue;
      if (duplicates_ == Duplicates::kFirstWins)
        texts.emplace(id.Long(record), text.WideText(record));
      else
        texts[id.Long(record)] = text.WideText(record);
    }
  }
  return languages_.emplace(language, std::move(texts)).first->second;
}
