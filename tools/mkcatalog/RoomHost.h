#pragma once
// The element host while mkcatalog builds rooms: the written main catalogue is catalogue 1, the room
// canvas being built is the new-room canvas, and one layer palette numbers the elements, corners and
// faces, so that a loaded room finds its parents, cycles and faces again. It installs itself for its
// lifetime (one at a time, user-interface thread).

#include <cstdint>

#include "elements/base/iElementHost.h"
#include "elements/base/zelvproLayerPalette.h"

class zelvDatabase;

namespace mkcatalog {

class RoomHost : public iElementHost {
 public:
  explicit RoomHost(zelvDatabase& db);
  ~RoomHost() override;
  RoomHost(const RoomHost&) = delete;
  RoomHost& operator=(const RoomHost&) = delete;

  zelvDatabase* FindDatabase(int32_t identifier) override;
  zelvproElement* NewRoomCanvas() override { return room; }
  zelvproLayerPalette* LayerPalette() override { return &palette_; }

  zelvproElement* room = nullptr;  // not owned

 private:
  zelvDatabase& db_;
  zelvproLayerPalette palette_;
};

}  // namespace mkcatalog
