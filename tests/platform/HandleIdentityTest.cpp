// Handles of drawing objects and menus name one object for ever: the handle of a freed object stays
// refused while newer objects of its kind come and go (and may take the freed memory).
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "platform/Gdi.h"
#include "platform/Menu.h"

namespace plat {
namespace {

struct Kind {
  const char* name;
  std::function<uintptr_t()> make;
  std::function<bool(uintptr_t)> free;   // the kind's own deletion call
  std::function<bool(uintptr_t)> alive;  // a call that answers only for a live object
};

HGDIOBJ Gdi(uintptr_t handle) { return reinterpret_cast<HGDIOBJ>(handle); }
uintptr_t Id(const void* handle) { return reinterpret_cast<uintptr_t>(handle); }

template <class Info>
bool Describes(uintptr_t handle) {
  Info info;
  return GetObject(Gdi(handle), sizeof info, &info) > 0;
}

bool FreeGdi(uintptr_t handle) { return DeleteObject(Gdi(handle)) != 0; }

TEST(HandleIdentity, AFreedHandleIsRefusedWhileNewObjectsOfItsKindAreMade) {
  const Kind kinds[] = {
      {"pen", [] { return Id(CreatePen(PS_SOLID, 1, 0)); }, FreeGdi, Describes<LOGPEN>},
      {"brush", [] { return Id(CreateSolidBrush(RGB(1, 2, 3))); }, FreeGdi, Describes<LOGBRUSH>},
      {"font", [] { return Id(CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial")); },
       FreeGdi, Describes<LOGFONTA>},
      {"bitmap", [] { return Id(CreateBitmap(4, 4, 1, 32, nullptr)); }, FreeGdi, Describes<BITMAP>},
      {"region", [] { return Id(CreateRectRgn(0, 0, 5, 5)); }, FreeGdi,
       [](uintptr_t h) {
         RECT box;
         return GetRgnBox(reinterpret_cast<HRGN>(h), &box) != RGN_ERROR;
       }},
      {"menu", [] { return Id(CreateMenu()); },
       [](uintptr_t h) { return DestroyMenu(reinterpret_cast<HMENU>(h)) != 0; },
       [](uintptr_t h) { return GetMenuItemCount(reinterpret_cast<HMENU>(h)) >= 0; }},
  };
  // Enough rounds for the allocator to hand the freed block out again (without a sanitizer's
  // quarantine it does so at once).
  constexpr int kRounds = 200;
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.name);
    const uintptr_t stale = kind.make();
    ASSERT_TRUE(kind.alive(stale));
    ASSERT_TRUE(kind.free(stale));
    for (int round = 0; round < kRounds; ++round) {
      const uintptr_t fresh = kind.make();
      ASSERT_NE(fresh, stale) << "round " << round;
      ASSERT_FALSE(kind.alive(stale)) << "round " << round;
      ASSERT_FALSE(kind.free(stale)) << "round " << round;  // refused: it must not free the new one
      ASSERT_TRUE(kind.alive(fresh)) << "round " << round;
      ASSERT_TRUE(kind.free(fresh));
    }
  }
}

}  // namespace
}  // namespace plat
