// The program-wide rotation step (radians) by which the turn commands 4008 and 4009 turn the
// selection: pi/4 at start; the rotation panel changes it. User-interface thread only.
#pragma once

float RotationStep();
void SetRotationStep(float radians);
