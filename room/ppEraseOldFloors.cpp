#include "room/ppEraseOldFloors.h"

#include <algorithm>
#include <vector>

#include "elements/base/iElementHost.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/ElementChildren.h"
#include "elements/topview/iConfigurator.h"
#include "room/qxFloorElement.h"
#include "room/qxLineCycle.h"
#include "room/qxWallElement.h"

namespace {

// What the user put onto the floor (a wall piece released inside the room lands there) belongs to
// the plan, not to this floor: it goes to the floor's canvas at the same plan place and direction
// before the floor is deleted, or a room rebuild would delete it with the floor.
void HandOverPlacedElements(qxFloorElement& floor) {
  ppView* canvas = floor.GetSupervisor();
  if (canvas == nullptr) return;
  std::vector<zelvproElement*> placed;
  ForEachChildElement(floor, [&](zelvproElement* child) {
    if (dynamic_cast<qxWallElement*>(child) == nullptr) placed.push_back(child);
  });
  for (zelvproElement* element : placed) {
    ppVector3 at = element->GetPosition();
    floor.LocalToWorld(at);
    const float angle = element->GetAngle() + floor.GetAngle();
    element->Invalidate();
    element->DetachFromSupervisor();
    canvas->AddSubview(element);
    element->SetPosition(at);
    element->SetAngle(angle);
    element->Invalidate();
  }
}

// Deletes the floor with its wall bodies; their destructors take their tasks off every undo history.
void DeleteFloor(qxFloorElement* floor) {
  HandOverPlacedElements(*floor);
  floor->Invalidate();
  delete floor;
}

void SelectAlone(qxFloorElement* floor) {
  zelvproCanvas* canvas = floor->GetCanvas();
  if (canvas != nullptr) ForEachChildElement(*canvas, [](zelvproElement* child) { child->Deselect(true); });
  floor->Select(false);
  if (canvas != nullptr) canvas->ScheduleUpdate();
  iConfigurator::Current().PressPane();
}

}  // namespace

void ppEraseOldFloors::Post(qxLineCycle* oldCycles, qxFloorElement* floorToSelect) {
  // After every message the configurator's window already holds; the document window stands in
  // while there is no configurator.
  plat::HWND window = iConfigurator::Current().Window();
  if (window == nullptr) window = iElementHost::Current().DocumentWindow();
  if (window == nullptr) return Erase(oldCycles, floorToSelect);
  new ppEraseOldFloors(window, oldCycles, floorToSelect);
}

void ppEraseOldFloors::Erase(qxLineCycle* oldCycles, qxFloorElement* floorToSelect) {
  // Several cycles never share a floor, but a floor is deleted once even if they did.
  std::vector<qxFloorElement*> floors;
  for (qxLineCycle* c = oldCycles; c != nullptr; c = c->next) {
    if (c->floor != nullptr && std::find(floors.begin(), floors.end(), c->floor) == floors.end())
      floors.push_back(c->floor);
    c->floor = nullptr;
  }
  for (qxFloorElement* floor : floors) DeleteFloor(floor);
  delete oldCycles;
  if (floorToSelect != nullptr) SelectAlone(floorToSelect);
}

ppEraseOldFloors::ppEraseOldFloors(plat::HWND window, qxLineCycle* oldCycles, qxFloorElement* floorToSelect)
    : ppSweeper(window), oldCycles_(oldCycles), floorToSelect_(floorToSelect) {}

ppEraseOldFloors::~ppEraseOldFloors() { delete oldCycles_; }

void ppEraseOldFloors::Sweep() {
  qxLineCycle* cycles = oldCycles_;
  oldCycles_ = nullptr;
  Erase(cycles, floorToSelect_);
}
