// One column of a grid: its width in pixels, the property name its cells and header text are read
// under, a skip flag and an optional validator for edited cells. Callers build a column as a local
// value and hand it to ppGrid::AddColumn, which keeps a copy. The validator is not owned.
#pragma once

#include <cstdint>

#include "foundation/VconString.h"
#include "framework/ppCollaborator.h"

class ppGrid;
class ppValidator;

class ppGridColumn : public ppCollaborator {
 public:
  // Moving the selection by key or command passes over the column; a click still selects it.
  static constexpr uint32_t kSkip = 4;

  // `reserved` is not used (callers pass 0); `validator` may be null.
  ppGridColumn(ppGrid* owner, const Vcon::String& name, int32_t width, int32_t reserved,
               ppValidator* validator);
  ppGridColumn(const ppGridColumn& other) = default;
  ppGridColumn& operator=(const ppGridColumn& other);

  int32_t Width() const { return width_; }
  uint32_t Flags() const { return flags_; }
  void SetFlags(uint32_t flags) { flags_ = flags; }
  bool IsSkipped() const { return (flags_ & kSkip) != 0; }
  const Vcon::String& Name() const { return name_; }
  ppGrid* Owner() const { return owner_; }
  ppValidator* Validator() const { return validator_; }

 private:
  int32_t width_;
  uint32_t flags_ = 0;
  Vcon::String name_;
  ppGrid* owner_;           // not owned, not read by the grid
  ppValidator* validator_;  // not owned; may be null
};
