// The plan's units as the application tests name them: by the name of their top view in the main
// catalogue (the demo's "B40", "D60", "W60").
#pragma once

#include <string>
#include <vector>

#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "database/ScopedRecordBuffer.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/zelvproElement.h"
#include "framework/ppRegion.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/WindowApi.h"
#include "room/qxWallElement.h"

namespace apptest {

// The name of `unit`'s top view.
inline std::string TopViewName(const zelvproElement& unit) {
  zelvproTopViewFil& views = MainCatalogDatabase->TopViewFile();
  const RecordField viewName(views, "Name");
  ScopedRecordBuffer<ppDatafile> buffer(views);
  views.ReadRecord(unit.recordId, buffer.Get());
  return viewName.Text(buffer.Get()).c_str();
}

// The units standing directly in `plan` whose top view is named `name`, in plan order.
inline std::vector<zelvproElement*> UnitsNamed(const ppView& plan, const std::string& name) {
  std::vector<zelvproElement*> out;
  ForEachChildElement(plan, [&](zelvproElement* unit) {
    if (TopViewName(*unit) == name) out.push_back(unit);
  });
  return out;
}

// The walls among the elements under `view`, at any depth.
inline std::vector<qxWallElement*> WallsUnder(const ppView& view) {
  std::vector<qxWallElement*> out;
  ForEachChildElement(view, [&](zelvproElement* e) {
    if (auto* w = dynamic_cast<qxWallElement*>(e)) out.push_back(w);
    for (qxWallElement* deeper : WallsUnder(*e)) out.push_back(deeper);
  });
  return out;
}

// The plan's one unit named `name`; null when there is none or more than one.
inline zelvproElement* OnlyUnitNamed(const ppView& plan, const std::string& name) {
  const std::vector<zelvproElement*> found = UnitsNamed(plan, name);
  return found.size() == 1 ? found.front() : nullptr;
}

// A click in the middle of `unit`'s outline, as the user selects it; the layer's clock then moves on
// a second, so that the next click makes no double click with this one.
inline void ClickUnit(zelvproElement& unit) {
  plat::RECT r{};
  unit.NewFrameRegion()->GetBounds(&r);
  const int32_t x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
  plat::HWND window = unit.GetHWND();
  plat::PostMessageA(window, plat::WM_LBUTTONUP, 0, plat::MAKELPARAM(x, y));
  plat::SendMessageA(window, plat::WM_LBUTTONDOWN, plat::MK_LBUTTON, plat::MAKELPARAM(x, y));
  plat::HeadlessDriver::RunUntilIdle();
  plat::LayerClock::Advance(1000);
}

}  // namespace apptest
