// The program in a window (WindowRunFixture) as the 3D view's scenarios learn it headless: the
// document window, its plan, the plan's units by name, and where a plan point shows in the 3D pane.
// Plan millimetres; pixels of the frame's client area.
#pragma once

#include <cmath>
#include <string>

#include "PlanUnits.h"
#include "WindowRunFixture.h"
#include "canvas/window/zelvproWindow.h"
#include "elements/base/zelvproTopCanvas.h"
#include "scene3d/panes/qx3DPicking.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace apptest {

class View3DWindowRunFixture : public WindowRunFixture {
 protected:
  zelvproWindow& Window() const { return *app_->DocumentWindow(); }
  zelvproTopCanvas& Plan() const { return *dynamic_cast<zelvproTopCanvas*>(Window().TopCanvas()); }
  // The plan's one unit whose top view is named `name`, or null.
  zelvproElement* Named(const std::string& name) const { return OnlyUnitNamed(Plan(), name); }
  // The 3D pane's unrounded window point of a plan point, and the frame's client pixel it lies in.
  ppVector3 InPane(const ppVector3& plan) const { return qx3DPicking::WindowPosition(*pane_, plan); }
  plat::POINT Shown(const ppVector3& plan) const {
    const ppVector3 w = InPane(plan);
    return InFrame(pane_->GetHWND(), {int32_t(std::lround(w.x)), int32_t(std::lround(w.y))});
  }

  zelvpro3DPane* pane_ = nullptr;  // the shown 3D view's pane, while the program runs here
};

}  // namespace apptest
