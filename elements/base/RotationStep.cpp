#include "elements/base/RotationStep.h"

#include "platform/ResetList.h"

namespace {

constexpr float kStartStep = 0.7853982f;
// Radians; user-interface thread only.
float gRotationStep = kStartStep;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("rotation step", [] { gRotationStep = kStartStep; });

}  // namespace

float RotationStep() { return gRotationStep; }

void SetRotationStep(float radians) { gRotationStep = radians; }
