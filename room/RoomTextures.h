// The texture pictures of the room's surfaces (wall bodies and floors): a surface names one colour
// record of its catalogue's colour table, and that record's first texture link ("texture0") names
// the picture. Pictures are kept in the plan elements' process-wide texture cache for the rest of
// the run; callers never own them. User-interface thread only.
#pragma once

#include <cstdint>

class ppPicture;
class zelvDatabase;

class RoomTextures {
 public:
  // The picture of colour record `colourId` of `database`: its "texture128" when not empty, else its
  // "texture", repeating unless the texture record says "dontRepeat", modulated when it says
  // "modulate". Null for colour 0, a colour without a texture link, a texture without a picture, or
  // a colour or texture record that is gone.
  static const ppPicture* Find(zelvDatabase* database, int32_t colourId);
};
