#include "scene3d/panes/qxCameraRecords.h"

#include <array>
#include <bit>

#include "platform/ResetList.h"

namespace {

qxCamera MakePreset(uint8_t kind, float lens, ppVector3 position, float pitch, float yaw, float nearPlane) {
  qxCamera camera;
  camera.kind = kind;
  camera.lens = lens;
  camera.position = position;
  camera.pitch = pitch;
  camera.yaw = yaw;
  camera.nearPlane = nearPlane;
  camera.farPlane = 201.0f;
  return camera;
}

// The two orthographic scales are kept bit for bit as the settings that drew the rooms before.
const std::array<qxCamera, qxCameraRecords::kCount> kPresets = {
    MakePreset(0, 40.0f, ppVector3(4925, 2000, 11774), 0, 0, -100),
    MakePreset(1, std::bit_cast<float>(0x3e0369ceu), ppVector3(4925, 1400, 7074), 0, 0, -200),
    MakePreset(2, std::bit_cast<float>(0x3db4b53cu), ppVector3(3893, 2000, 4112), -30, -45, -200),
    MakePreset(1, 0.125f, ppVector3(7925, 14200, 5074), -90, 0, -200),
};

// User-interface thread.
std::array<qxCamera, qxCameraRecords::kCount> gLive = kPresets;
qxCamera* gCurrent = &gLive[0];

[[maybe_unused]] const bool kReset = plat::ResetList::Add("3D cameras", [] {
  gLive = kPresets;
  gCurrent = &gLive[0];
});

int32_t Checked(int32_t index) { return index >= 0 && index < qxCameraRecords::kCount ? index : 0; }

}  // namespace

const qxCamera& qxCameraRecords::Preset(int32_t index) { return kPresets[size_t(Checked(index))]; }
qxCamera& qxCameraRecords::Live(int32_t index) { return gLive[size_t(Checked(index))]; }
qxCamera* qxCameraRecords::Current() { return gCurrent; }
void qxCameraRecords::SetCurrent(int32_t index) { gCurrent = &Live(index); }
void qxCameraRecords::SetCurrent(qxCamera* camera) { gCurrent = camera ? camera : &gLive[0]; }
void qxCameraRecords::CopyPresets() { gLive = kPresets; }
