#include "elements/base/PasteOffset.h"

#include "platform/ResetList.h"

namespace {

constexpr float kStartOffset = 250.0f;
// Millimetres; user-interface thread only.
float gPasteOffset = kStartOffset;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("paste offset", [] { gPasteOffset = kStartOffset; });

}  // namespace

float PasteOffset() { return gPasteOffset; }

void SetPasteOffset(float millimetres) { gPasteOffset = millimetres; }
