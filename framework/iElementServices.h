#pragma once
// What the element panel links need of parts of the program that are built above the framework: the
// placement-warning window, the configurator panel host, and views carried as switchboard
// parameters. Those parts install themselves here; until one does, the calls do nothing.
// User-interface thread only.

#include <cstdint>
#include <functional>

#include "platform/GdiTypes.h"

class ppView;

// Shows the placement-warning window for `warning` at `rect` (window coordinates of `parent`'s
// window) over the parent's window.
using PlacementWarningPresenter =
    std::function<void(ppView* parent, const plat::RECT& rect, int32_t warning, int32_t flag)>;

namespace element_services {
inline PlacementWarningPresenter gPresenter;
inline ppView* gConfiguratorHost = nullptr;
}  // namespace element_services

inline void SetPlacementWarningPresenter(PlacementWarningPresenter presenter) {
  element_services::gPresenter = std::move(presenter);
}

inline void ShowPlacementWarning(ppView* parent, const plat::RECT& rect, int32_t warning, int32_t flag) {
  if (element_services::gPresenter) element_services::gPresenter(parent, rect, warning, flag);
}

// The program-wide parent of every configurator panel (not owned); null while there is none.
inline void SetConfiguratorHost(ppView* host) { element_services::gConfiguratorHost = host; }
inline ppView* ConfiguratorHost() { return element_services::gConfiguratorHost; }

// Where a placement warning stands for a frame: below it, its left edge 170 pixels left of the
// frame's right edge (the frame moved right by its width - 170 and down by its height + 10).
inline plat::RECT PlacementWarningRect(const plat::RECT& frame) {
  const int32_t dx = (frame.right - frame.left) - 170;
  const int32_t dy = (frame.bottom - frame.top) + 10;
  return {frame.left + dx, frame.top + dy, frame.right + dx, frame.bottom + dy};
}
