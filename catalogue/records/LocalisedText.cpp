#include "catalogue/records/LocalisedText.h"

#include <limits>

#include "database/ppDatabase.h"
#include "foundation/UserPreferences.h"

void LocaliseRecordText(ppDatabase& database, int32_t recordId, int32_t k, Vcon::WString& text) {
  const int64_t number = int64_t(recordId) * 10 + k;
  if (recordId <= 0 || number > std::numeric_limits<int32_t>::max()) return;
  database.GetString(int32_t(number), text, int32_t(CurrentLanguageCode()));
}
