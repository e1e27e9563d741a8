#include "canvas/tasks/zelvproWallTask.h"

#include <cstdlib>

#include "canvas/tasks/PlanFrames.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/units/zelvproDoor.h"
#include "foundation/Geometry3D.h"
#include "framework/ppDC.h"
#include "framework/ppView.h"
#include "framework/ppEventHandler.h"
#include "framework/ppRegion.h"

namespace {

// The snap target kind whose door takes it as its wall link.
constexpr int32_t kWallLinkKind = 2;

plat::POINT Pixel(const ppVector3& plan) {
  plat::POINT out{};
  PlanPointToScreen(plan, out);
  return out;
}

// `p` turned about the y axis the way an element's placement turns its points when its angle grows by
// `angle` (radians).
ppVector3 Turned(ppVector3 p, float angle) {
  if (angle != 0.0f) RotatePoint3(p, 0.0f, -angle, 0.0f);
  return p;
}

float AbsoluteAngleOf(const ppView* view) {
  const auto* element = dynamic_cast<const zelvproElement*>(view);
  return element != nullptr ? element->GetAbsoluteAngle() : 0.0f;
}

void Redraw3D() { zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true); }

}  // namespace

zelvproWallTask::zelvproWallTask(qxViewHolder* holders, zelvproCanvas* canvas, ppRegion* region)
    : zelvproWallTask(holders, canvas, region, false) {}

zelvproWallTask::zelvproWallTask(qxViewHolder* holders, zelvproCanvas* canvas, ppRegion* region,
                                 bool configurable)
    : zelvproMouseTask(canvas, canvas),
      canvas_(canvas),
      holders_(holders),
      region_(region),
      configurable_(configurable) {
  for (const qxViewHolder* h = holders; h != nullptr; h = h->Next()) {
    places_.push_back(PlaceOf(h->Element()));
    // Undo puts it back there: either destroyed elsewhere takes the task off its history.
    Keep(places_.back().element);
    Keep(places_.back().container);
  }
}

zelvproWallTask::~zelvproWallTask() = default;

std::vector<zelvproElement*> zelvproWallTask::Elements() const {
  std::vector<zelvproElement*> out;
  for (const qxViewHolder* h = holders_.get(); h != nullptr; h = h->Next()) out.push_back(h->Element());
  return out;
}

zelvproWallTask::Place zelvproWallTask::PlaceOf(zelvproElement* element) {
  Place place;
  place.element = element;
  place.container = element->GetSupervisor();
  place.index = place.container != nullptr ? place.container->Subviews().Find(element) : -1;
  place.position = element->GetPosition();
  place.angle = element->GetAngle();
  return place;
}

void zelvproWallTask::PutBack(const Place& place) {
  zelvproElement* element = place.element;
  if (element->GetSupervisor() != place.container) {
    element->DetachFromSupervisor();
    if (place.container != nullptr) {
      const int32_t count = place.container->Subviews().Count();
      if (place.index >= 0 && place.index < count) {
        place.container->InsertSubview(element, place.index);
      } else {
        place.container->AddSubview(element);
      }
    }
  }
  element->SetPosition(place.position);
  element->StoreAngle(place.angle);
}

// ---- Press, Shift and tracking.

void zelvproWallTask::Constrain(plat::POINT& point) {
  zelvproElement* lead = holders_ != nullptr ? holders_->Element() : nullptr;
  if (lead == nullptr) return;
  ppVector3 at = PlanPoint(lead, ppVector3());
  SnapAnchor first;
  if (lead->GetPointEntry(0, first)) at.x += first.point.x, at.z += first.point.z;
  const plat::POINT p = Pixel(at);
  offset_ = plat::POINT{point.x - p.x, point.y - p.y};
  SetFeedbackOffset(offset_.x, offset_.y);
}

void zelvproWallTask::PreTrack(plat::POINT* point) {
  if (point == nullptr) return;
  if (!ppEventHandler::IsShiftKeyDown()) {
    axisDecided_ = false;
    return;
  }
  if (!axisDecided_) {
    const int32_t dx = StartPoint().x - point->x, dy = StartPoint().y - point->y;
    if (std::abs(dx) == std::abs(dy)) return;
    axisHorizontal_ = std::abs(dx) >= std::abs(dy);
    axisDecided_ = true;
  }
  if (axisHorizontal_) {
    point->y = StartPoint().y;
  } else {
    point->x = StartPoint().x;
  }
}

void zelvproWallTask::Track() {
  snapTarget_ = nullptr;
  snapElement_ = nullptr;
  zelvproElement* lead = holders_ != nullptr ? holders_->Element() : nullptr;
  if (ppEventHandler::IsControlKeyDown() || lead == nullptr || canvas_ == nullptr)
    return zelvproMouseTask::Track();
  zelvproCanvas* root = canvas_->GetCanvas();
  zelvproElement* container =
      root != nullptr ? root->FindContainerFor(Current().x, Current().y, lead->kind, lead) : nullptr;
  auto* top = dynamic_cast<zelvproTopCanvas*>(root);
  if (container != nullptr && top != nullptr) {
    const double s = PlanScale();
    const ppVector3 drag(float((Current().x - StartPoint().x) * s), 0.0f,
                         float((Current().y - StartPoint().y) * s));
    for (const qxViewHolder* h = holders_.get(); h != nullptr; h = h->Next()) {
      zelvproElement* element = h->Element();
      SnapAnchor entry, target;
      int32_t own = -1, other = -1;
      const ppVector3 at = element->GetPosition() + drag;
      zelvproElement* found =
          top->FindSnap(element, own, other, kSnapReach, at, entry, holders_.get(), false);
      if (found == nullptr || !found->GetPointEntry(other, target)) continue;
      snapTarget_ = found;
      snapElement_ = element;
      ownAnchor_ = own, targetAnchor_ = other;
      snapAnchor_ = target;
      snapAnchor_.point = PlanPoint(found, target.point);
      marker_ = Pixel(snapAnchor_.point);
      break;
    }
  }
  zelvproMouseTask::Track();
}

bool zelvproWallTask::SnapMotion(float& turn, ppVector3& from, ppVector3& to) const {
  if (snapTarget_ == nullptr || snapElement_ == nullptr) return false;
  SnapAnchor own;
  if (!snapElement_->GetPointEntry(ownAnchor_, own)) return false;
  const float absolute = snapTarget_->GetAbsoluteAngle() + snapAnchor_.direction - own.direction;
  turn = absolute - snapElement_->GetAbsoluteAngle();
  from = PlanPoint(snapElement_, own.point);
  to = snapAnchor_.point;
  return true;
}

// ---- Feedback.

void zelvproWallTask::DrawBand(ppDC& dc) {
  dc.SetGray(0);
  const plat::POINT drag{Current().x - StartPoint().x, Current().y - StartPoint().y};
  float turn = 0.0f;
  ppVector3 from, to;
  const bool snapped = !configurable_ && SnapMotion(turn, from, to);
  for (zelvproElement* element : Elements()) {
    if (!snapped) {
      element->DrawOutlineAt(drag.x, drag.y, 0.0f, 0.0f, 0.0f, dc);
      continue;
    }
    // As the release will put it: turned about the snapped anchor, which lands on the target's.
    const ppVector3 origin = PlanPoint(element, ppVector3());
    const ppVector3 lands = to + Turned(origin - from, turn);
    const plat::POINT a = Pixel(origin), b = Pixel(lands);
    const float own = element->GetAngle();
    element->StoreAngle(own + turn);
    element->DrawOutlineAt(b.x - a.x, b.y - a.y, 0.0f, 0.0f, 0.0f, dc);
    element->StoreAngle(own);
  }
}

void zelvproWallTask::DrawFeedback(int32_t /*x*/, int32_t /*y*/) {
  if (canvas_ == nullptr || canvas_->GetHWND() == nullptr) return;
  band_.Draw(canvas_, canvas_, [this](ppDC& dc) { DrawBand(dc); });
  anchorMarker_.Show(*canvas_, snapTarget_ != nullptr, marker_);
}

// The recording replayed once more: exactly what the last drawing put on the window goes.
void zelvproWallTask::EraseFeedback(int32_t /*x*/, int32_t /*y*/) {
  band_.Erase(canvas_, canvas_);
  anchorMarker_.Erase(canvas_);
}

// ---- The commit.

bool zelvproWallTask::ReleasedOutside() const {
  ppView* supervisor = canvas_ != nullptr ? canvas_->GetSupervisor() : nullptr;
  if (supervisor == nullptr) return false;
  plat::RECT frame{};
  supervisor->GetWindowFrame(&frame);
  const plat::POINT c = Current();
  return c.x < frame.left || c.x >= frame.right || c.y < frame.top || c.y >= frame.bottom;
}

void zelvproWallTask::Do() {
  if (region_ != nullptr && canvas_ != nullptr) {
    canvas_->InvalidateRegion(region_.get());
    region_.reset();
  }
  if (ReleasedOutside()) {
    rejected_ = true;
    return;
  }
  const std::vector<zelvproElement*> elements = Elements();
  const auto moved = [&](const zelvproElement* e) {
    for (const zelvproElement* m : elements)
      if (m == e) return true;
    return false;
  };
  zelvproElement* container = nullptr;
  if (snapTarget_ == nullptr) {
    zelvproCanvas* root = canvas_ != nullptr ? canvas_->GetCanvas() : nullptr;
    for (zelvproElement* element : elements) {
      if (root == nullptr) break;
      zelvproElement* answer = root->FindContainerFor(Current().x, Current().y, element->kind, element);
      if (answer != nullptr && !moved(answer)) {
        container = answer;
        break;
      }
    }
  } else {
    container = dynamic_cast<zelvproElement*>(snapTarget_->GetSupervisor());
  }
  if (container == nullptr) {
    rejected_ = true;
    return;
  }
  changed_ = true;
  const double s = PlanScale();
  const ppVector3 drag(float((Current().x - StartPoint().x) * s), 0.0f,
                       float((Current().y - StartPoint().y) * s));
  float turn = 0.0f;
  ppVector3 from, to;
  const bool snapped = SnapMotion(turn, from, to);
  // Plan places first: a re-parenting must not change what the others are measured from.
  std::vector<std::pair<ppVector3, float>> targets;
  for (zelvproElement* element : elements) {
    const ppVector3 origin = PlanPoint(element, ppVector3());
    if (snapped) {
      targets.emplace_back(to + Turned(origin - from, turn), element->GetAbsoluteAngle() + turn);
    } else {
      targets.emplace_back(origin + drag, element->GetAbsoluteAngle());
    }
  }
  for (size_t i = 0; i < elements.size(); ++i) {
    zelvproElement* element = elements[i];
    element->Invalidate();
    if (element->GetSupervisor() != container && element != container) {
      element->DetachFromSupervisor();
      container->AddSubview(element);
    }
    const ppVector3 local = ContainerPoint(element->GetSupervisor(), targets[i].first);
    element->SetPosition(ppVector3(local.x, element->GetPosition().y, local.z));
    // The element keeps its angle relative to its container: the absolute turn less the container's.
    element->SetAngle(targets[i].second - AbsoluteAngleOf(element->GetSupervisor()));
    if (snapped && !configurable_ && element->kind == ElementKinds::kDoor &&
        snapTarget_->kind == kWallLinkKind)
      if (auto* door = dynamic_cast<zelvproDoor*>(element)) door->wallLink = snapTarget_;
    element->Invalidate();
  }
  for (zelvproElement* element : elements) {
    auto* canvas = dynamic_cast<zelvproCanvas*>(container);
    const bool hit = canvas != nullptr ? canvas->Collides(element) : container->Collides(element, nullptr);
    if (hit) {
      rejected_ = true;
      return;
    }
    element->RebuildGeometry();
    if (!configurable_) element->Select(true);
  }
  ElementList list(elements.begin(), elements.end());
  if (!list.empty()) list.front()->ResnapList(list);
  iElementHost& host = iElementHost::Current();
  host.MarkDocumentModified();
  if (canvas_ != nullptr) canvas_->DoCommand(kPostAfterEdit, reinterpret_cast<intptr_t>(this));
  ppTask::Do();
  Redraw();
}

// ---- Undo and Redo.

void zelvproWallTask::SwapPlaces() {
  for (Place& place : places_) {
    const Place now = PlaceOf(place.element);
    place.element->Invalidate();
    PutBack(place);
    place.element->Invalidate();
    place = now;
  }
}

void zelvproWallTask::CloseSwap(bool undo) {
  ElementList list;
  for (Place& place : places_) list.push_back(place.element);
  if (!list.empty()) {
    list.front()->ReleaseOutsideSnaps(list);
    list.front()->ResnapList(list);
  }
  if (undo) {
    ppTask::Undo();
  } else {
    ppTask::Redo();
  }
  Redraw();
}

// A configurable unit leaves the 3D view alone, but the plan shows it where it now stands.
void zelvproWallTask::Redraw() {
  if (configurable_) return zelvproElement::RedrawPlan();
  Redraw3D();
}

void zelvproWallTask::Undo() {
  if (rejected_) {
    // A refused release: whatever the commit changed goes back, container first.
    if (changed_)
      for (const Place& place : places_) {
        place.element->Invalidate();
        PutBack(place);
        place.element->Invalidate();
      }
    ppTask::Undo();
    return;
  }
  SwapPlaces();
  CloseSwap(true);
}

void zelvproWallTask::Redo() {
  SwapPlaces();
  CloseSwap(false);
}
