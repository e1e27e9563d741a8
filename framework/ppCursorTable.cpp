#include "framework/ppCursorTable.h"

#include "platform/Cursors.h"
#include "platform/ResetList.h"

namespace {
ppCursorTable* gCursorTable = nullptr;  // not owned; user-interface thread
[[maybe_unused]] const bool kReset = plat::ResetList::Add("cursor table", [] { gCursorTable = nullptr; });
}  // namespace

ppCursorTable::ppCursorTable(int32_t defaultId) : default_(new ppCursor(nullptr, defaultId)) {}

ppCursorTable::~ppCursorTable() {
  if (gCursorTable == this) gCursorTable = nullptr;
  delete default_;
  for (int32_t i = 0; i < cursors_.Count(); ++i) delete cursors_.At(i);
}

int32_t ppCursorTable::Add(plat::HINSTANCE module, int32_t id) {
  cursors_.Append(new ppCursor(module, id));
  return cursors_.Count() - 1;
}

int32_t ppCursorTable::AddWithFallback(plat::HINSTANCE module, int32_t id, int32_t fallbackId) {
  auto* cursor = new ppCursor(module, id);
  if (cursor->Handle() == nullptr) {
    delete cursor;
    cursor = new ppCursor(nullptr, fallbackId);
  }
  cursors_.Append(cursor);
  return cursors_.Count() - 1;
}

void ppCursorTable::SetDefault() const {
  if (default_) default_->Set();
}

// The original indexed without a check; a stale or wrong index from a caller must not read past the
// list, so it is ignored.
void ppCursorTable::SetByIndex(int32_t index) const {
  if (const ppCursor* cursor = At(index)) cursor->Set();
}

const ppCursor* ppCursorTable::At(int32_t index) const {
  if (index < 0 || index >= cursors_.Count()) return nullptr;
  return cursors_.At(index);
}

int32_t ppCursorTable::FindResource(int32_t id) const {
  for (int32_t i = 0; i < cursors_.Count(); ++i) {
    const ppCursor* cursor = cursors_.At(i);
    if (cursor->ResourceId() == id && cursor->Handle() != nullptr) return i;
  }
  return -1;
}

ppCursorTable* ppCursorTable::Global() { return gCursorTable; }
void ppCursorTable::SetGlobal(ppCursorTable* table) { gCursorTable = table; }

void ppCursorTable::SetGlobalDefault() {
  if (gCursorTable) {
    gCursorTable->SetDefault();
  } else {
    plat::SetCursor(plat::LoadCursorA(nullptr, plat::MAKEINTRESOURCEA(plat::IDC_ARROW)));
  }
}
