#pragma once
// The process-wide table of mouse cursors: a default cursor (the arrow) and the cursors the
// application loads at start-up, reached by the index Add answered. Views make the default current
// when the pointer rests on them; tasks and canvases pick their shapes by index.
//
// The table owns its cursors. One table exists per process: the application object makes it when
// it loads its cursors and deletes it when it goes. User-interface thread only.

#include <cstdint>

#include "framework/ppCursor.h"
#include "framework/ppList.h"
#include "platform/WindowTypes.h"

// The table's cursors in the order they were added; grows by 8 entries when full.
class ppCursorList : public ppList<ppCursor*> {};

class ppCursorTable {
 public:
  // An empty list and the system cursor `defaultId` as the default.
  explicit ppCursorTable(int32_t defaultId);
  ~ppCursorTable();
  ppCursorTable(const ppCursorTable&) = delete;
  ppCursorTable& operator=(const ppCursorTable&) = delete;

  // Appends the cursor `id` of `module` (null: a system cursor); answers its index.
  int32_t Add(plat::HINSTANCE module, int32_t id);
  // Appends the cursor `id` of `module`, or, when it cannot be loaded, the system cursor
  // `fallbackId`; answers its index. Each cursor is loaded once.
  int32_t AddWithFallback(plat::HINSTANCE module, int32_t id, int32_t fallbackId);
  // Makes the default cursor current, when there is one.
  void SetDefault() const;
  // Makes the cursor at `index` current; an index outside the list changes nothing.
  void SetByIndex(int32_t index) const;

  int32_t Count() const { return cursors_.Count(); }
  int32_t Capacity() const { return cursors_.Capacity(); }
  const ppCursor* At(int32_t index) const;
  // The index of the first cursor loaded from resource `id` that the resources hold; -1 when none.
  int32_t FindResource(int32_t id) const;
  const ppCursor* Default() const { return default_; }

  // The process-wide table, null before the application has loaded its cursors. Not owned here:
  // whoever sets it deletes it (and sets null first).
  static ppCursorTable* Global();
  static void SetGlobal(ppCursorTable* table);
  // The global table's default cursor; the system arrow while there is no table yet.
  static void SetGlobalDefault();

 private:
  ppCursor* default_ = nullptr;  // owned
  ppCursorList cursors_;         // entries owned
};
