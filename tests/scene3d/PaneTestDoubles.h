// Test doubles of the document around a 3D pane: elements that are named boxes (a ppNode box that
// loads its pick name before drawing) and log what the pane asks of them, and a host that keeps
// them, answers their bounds and logs the document calls.
#pragma once

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "foundation/ppRay.h"
#include "scene3d/context/iContext.h"
#include "scene3d/context/iRenderer.h"
#include "scene3d/context/iScene.h"
#include "scene3d/context/ppNode.h"
#include "scene3d/context/ppScene.h"
#include "scene3d/context/ppShape3D.h"
#include "scene3d/context/ppShapePrimitive.h"
#include "scene3d/panes/i3DPaneElement.h"
#include "scene3d/panes/i3DPaneHost.h"

namespace pane_tests {

// An axis-aligned box of half size `half` at `centre`: faces (outward, counter-clockwise) and edges.
class BoxElement : public i3DPaneElement, public iScene {
 public:
  BoxElement(uint32_t name, ppVector3 centre, float half) : name_(name), centre_(centre), half_(half) {
    const float h = half;
    const float c[8][3] = {{-h, -h, -h}, {h, -h, -h}, {h, h, -h}, {-h, h, -h},
                           {-h, -h, h},  {h, -h, h},  {h, h, h},  {-h, h, h}};
    const int quads[6][4] = {{4, 5, 6, 7}, {1, 0, 3, 2}, {5, 1, 2, 6},
                             {0, 4, 7, 3}, {7, 6, 2, 3}, {0, 1, 5, 4}};
    for (const auto& q : quads) {
      faces_.Begin(9);
      for (int i : q) faces_.Vertex(c[i][0] + centre.x, c[i][1] + centre.y, c[i][2] + centre.z);
      faces_.End();
    }
    const int lines[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                              {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    for (const auto& l : lines) {
      edges_.Begin(1);
      for (int i : l) edges_.Vertex(c[i][0] + centre.x, c[i][1] + centre.y, c[i][2] + centre.z);
      edges_.End();
    }
    node_.faces = &faces_;
    node_.edges = &edges_;
    node_.color = ppFloat4(0.2f, 0.4f, 0.8f, 1.0f);
  }

  // ---- iScene
  void Render(iRenderer& renderer) override {
    renderer.context->LoadName(name_);
    node_.Render(renderer);
  }

  // ---- i3DPaneElement
  bool IsSelected() override { return selected; }
  void Select() override { selected = true, log += "select;"; }
  void Deselect() override { selected = false, log += "deselect;"; }
  uint32_t Flags() override { return flags; }
  int32_t KindCode() override { return kind; }
  ppBounds3 GetBounds(uint32_t, float factor) override {
    ppBounds3 box;
    box.centre = centre_;
    box.half = ppVector3(half_ * factor, half_ * factor, half_ * factor);
    return box;
  }
  bool RayHit(const qxRay& ray, ppVector3* point, ppVector3* normal) override {
    const ppShapePrimitive* primitive = nullptr;
    if (!faces_.HitTest(ray, point, &primitive)) return false;
    // The face whose plane the point lies in gives the normal.
    const ppVector3 d(point->x - centre_.x, point->y - centre_.y, point->z - centre_.z);
    const float ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
    if (az >= ax && az >= ay)
      *normal = ppVector3(0, 0, d.z > 0 ? 1.0f : -1.0f);
    else if (ay >= ax)
      *normal = ppVector3(0, d.y > 0 ? 1.0f : -1.0f, 0);
    else
      *normal = ppVector3(d.x > 0 ? 1.0f : -1.0f, 0, 0);
    return true;
  }
  void StoreClickTime(uint32_t ticks) override { clickTime = ticks; }
  void ScheduleCanvasUpdate() override { log += "update;"; }
  void NudgeByKey(int32_t key) override { log += "nudge " + std::to_string(key) + ";"; }
  void RunKeyCommand(int32_t command) override { log += "key " + std::to_string(command) + ";"; }
  void ReleaseOutsideSnaps() override { log += "release;"; }

  uint32_t name() const { return name_; }
  ppVector3 centre() const { return centre_; }
  float half() const { return half_; }

  ppVector3 Position() override { return ppVector3(centre_.x, centre_.y - half_, centre_.z); }
  ppVector3 ReferencePoint() override { return ppVector3(0, 0, half_); }
  iScene* ScenePart() override { return this; }

  bool selected = false;
  uint32_t flags = 0x43;
  int32_t kind = 0;
  uint32_t clickTime = 0;
  std::string log;

 private:
  uint32_t name_;
  ppVector3 centre_;
  float half_;
  ppShape3D faces_, edges_;
  ppNode node_;
};

class TestHost : public i3DPaneHost {
 public:
  std::vector<BoxElement*> elements;  // not owned

  void AddSceneParts(ppScene& scene) override {
    for (BoxElement* e : elements) scene.Add(e);
  }
  i3DPaneElement* ElementForPickName(uint32_t name) override {
    for (BoxElement* e : elements)
      if (e->name() == name) return e;
    return nullptr;
  }
  ppBounds3 CanvasBounds(float factor) override {
    ppBounds3 all;
    for (BoxElement* e : elements) all.AddBox(e->GetBounds(0x240, factor));
    return all;
  }
  qxEyePlacement::Corners RoomCorners() override { return corners; }
  void SetHitElement(i3DPaneElement* element) override { hit = element; }
  std::vector<i3DPaneElement*> Selection() override {
    std::vector<i3DPaneElement*> selected;
    for (BoxElement* e : elements)
      if (e->selected) selected.push_back(e);
    return selected;
  }
  void ShowConfiguratorForElement(i3DPaneElement*) override { log += "configurator;"; }
  void ShowDefaultConfigurator() override { log += "default configurator;"; }
  void RefreshRulers() override { ++rulerRefreshes; }
  void TopCanvasCommand(int32_t command, intptr_t) override { log += "top " + std::to_string(command) + ";"; }
  void ApplicationCommand(int32_t command, intptr_t) override {
    log += "app " + std::to_string(command) + ";";
  }
  bool CommandOptionOn() override { return optionOn; }
  void StartMoveTask(const std::vector<i3DPaneElement*>& selection, i3DPaneElement* element, int32_t, int32_t,
                     bool dragger) override {
    log += std::string(dragger ? "dragger" : "mover") + " " + std::to_string(selection.size()) + ";";
    moved = element;
  }

  float RoomHeight() override { return roomHeight; }
  void FloorExtent(float* x, float* z) override { *x = floorX, *z = floorZ; }
  ppFloat4 SettingsColor(int32_t id) override { return id == 1022 ? color1022 : ppFloat4(1, 1, 1, 1); }
  void SetSettingsColor(int32_t id, const ppFloat4& color) override {
    if (id == 1022) color1022 = color;
    log += "color " + std::to_string(id) + ";";
  }
  int32_t PrintResolution() override { return printResolution; }
  bool DocumentNamed() override { return !path.empty(); }
  std::string DocumentPath() override { return path; }

  qxEyePlacement::Corners corners{{{0, 0}, {4000, 0}, {4000, 3000}, {0, 3000}}};
  float roomHeight = 2500, floorX = 4000, floorZ = 3000;
  ppFloat4 color1022{0.8f, 0.8f, 0.8f, 1};
  int32_t printResolution = 180;
  std::string path;
  i3DPaneElement* hit = nullptr;
  i3DPaneElement* moved = nullptr;
  int32_t rulerRefreshes = 0;
  bool optionOn = false;
  std::string log;
};

}  // namespace pane_tests
