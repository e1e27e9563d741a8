// Access requests: each snap link may hand the element a key with a priority level. The element
// holds the strongest request (an equal level keeps the earlier one), turns its key through the key
// combination table, and looks the key up in its top-view record's "Units" pairs {unit record id,
// key} to find the unit record that applies now (its current access id).
#include <vector>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "database/dbErrors.h"
#include "elements/base/zelvproElement.h"

namespace {

// The "Units" words of top-view record `recordId`, read through the second top-view file so that
// the first file's current record stays. A record that is gone has none; other errors pass on.
std::vector<int32_t> UnitPairsOf(zelvDatabase& database, int32_t recordId) {
  zelvproTopViewFil& topViews = database.TopViewFile2();
  try {
    topViews.ReadRecord(recordId, nullptr);
  } catch (int32_t error) {
    if (error != db::kNotFound && error != db::kOutOfRange) throw;
    return {};
  }
  return RecordField(topViews, "Units").Words(topViews.GetRecordBuffer());
}

}  // namespace

int32_t zelvproElement::ResolveAccessKey(int32_t key) {
  // A code counts when a linked anchor has it or the key (as turned so far) equals it.
  const auto counts = [&](int32_t code) {
    return code != 0 && (code == key || HasLinkedAnchor(code, snapPoints));
  };
  for (size_t i = 0; i + 2 < keyCombinations.size(); i += 3) {
    if (counts(keyCombinations[i]) && counts(keyCombinations[i + 1])) key = keyCombinations[i + 2];
  }
  return key;
}

int32_t zelvproElement::GetAccessKey() { return ResolveAccessKey(currcat); }

void zelvproElement::PushAccessRequest(int32_t key, int32_t level, uint32_t /*anchorFlags*/,
                                       zelvproElement* /*neighbour*/) {
  HoldAccessRequest(key, level);
  unitRecordId = ResolveAccessId();
  InvalidateTree();
}

void zelvproElement::PopAccessRequest(int32_t key, int32_t level) {
  ReleaseAccessRequest(key, level);
  unitRecordId = ResolveAccessId();
  InvalidateTree();
}

void zelvproElement::HoldAccessRequest(int32_t key, int32_t level) {
  if (currcat != 0 && curref >= level) return;
  heldRequestKey = key;
  currcat = ResolveAccessKey(key);
  curref = level;
}

void zelvproElement::ReleaseAccessRequest(int32_t key, int32_t level) {
  // The request is matched by the key it came with as well as by the key it was turned into: once
  // the combination has changed, only the first still names it.
  if (!((heldRequestKey != 0 && key == heldRequestKey) || key == currcat) || level != curref) return;
  int32_t fallbackLevel = 0;
  const int32_t code = FirstLinkedAnchor(snapPoints, fallbackLevel);
  curref = fallbackLevel;
  heldRequestKey = code;
  currcat = ResolveAccessKey(code);
}

int32_t zelvproElement::ResolveAccessId() {
  if (lockUnits != 0 && unitRecordId != 0) return unitRecordId;
  if (recordId == 0 || database == nullptr) return 0;
  const std::vector<int32_t> pairs = UnitPairsOf(*database, recordId);
  const int32_t key = GetAccessKey();
  int32_t result = 0;
  // Later pairs win, whether they match the key or apply to any key (0).
  for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
    if (pairs[i + 1] == key || pairs[i + 1] == 0) result = pairs[i];
  }
  return result;
}
