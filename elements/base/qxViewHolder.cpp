#include "elements/base/qxViewHolder.h"

#include "elements/base/PlanPixels.h"
#include "elements/base/qxViewHolderKillerSweeper.h"
#include "elements/base/zelvproElement.h"
#include "foundation/Geometry2D.h"
#include "foundation/Geometry3D.h"
#include "foundation/OwnedHandle.h"
#include "foundation/ppVector2.h"
#include "platform/ResetList.h"

namespace {

// The chain the information panel shows (deleted when another is activated, and at the reset), and
// the chain no collection gathers (the worktop code's, not owned here). User-interface thread only.
qxViewHolder* gCurrent = nullptr;
qxViewHolder* gExclusion = nullptr;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("view holders", [] { qxViewHolder::Reset(); });

// A pixel coordinate truncated toward zero; values no window reaches (and NaN) are held in range.
int32_t Pixel(float v) {
  if (!(v > -1.0e9f)) return v != v ? 0 : -1'000'000'000;
  return v < 1.0e9f ? int32_t(v) : 1'000'000'000;
}

// Adds the polygon of the 8-byte (x, y) pixel points of `points` to `region`.
void UnitePolygon(ppRegion& region, Handle points) {
  const int32_t count = MemGetSize(points) / int32_t(sizeof(ppVector2));
  if (count == 0) return;
  const auto* p = reinterpret_cast<const ppVector2*>(*points);
  ppRegion piece;
  piece.BeginPolygon();
  piece.MoveTo(Pixel(p[0].x), Pixel(p[0].y));
  for (int32_t i = 1; i < count; ++i) piece.LineTo(Pixel(p[i].x), Pixel(p[i].y));
  piece.EndPolygon();
  region.Union(piece);
}

}  // namespace

qxViewHolder::qxViewHolder(zelvproElement* element, qxViewHolder* next, bool linkOnly)
    : angle(element->GetAngle()), startPosition(element->GetPosition()), element_(element), next_(next) {
  element_->GetAbsolutePosition(runStart);
  ppVector3 along(element_->dimensions.x, 0.0f, 0.0f);
  RotateAboutAxis(along, element_->GetAbsoluteAngle(), ppVector3(0.0f, 1.0f, 0.0f));
  runEnd = ppVector3(runStart.x + along.x, runStart.y + along.y, runStart.z + along.z);
  if (linkOnly) return;
  qxViewHolder* nextHead = next_ != nullptr ? next_->head_ : nullptr;
  // Tick times wrap: "later" is a positive difference.
  if (nextHead == nullptr || int32_t(element_->lastClickTime - nextHead->element_->lastClickTime) > 0) {
    head_ = this;
    for (qxViewHolder* h = next_; h != nullptr; h = h->next_) h->head_ = this;
  } else {
    head_ = nextHead;
  }
}

// The rest of the chain is deleted one holder at a time, so a long chain needs no deep recursion.
qxViewHolder::~qxViewHolder() {
  if (gCurrent == this) gCurrent = nullptr;
  if (gExclusion == this) gExclusion = nullptr;
  if (killer_ != nullptr) killer_->Forget();
  qxViewHolder* rest = ReleaseNext();
  while (rest != nullptr) {
    qxViewHolder* after = rest->ReleaseNext();
    delete rest;
    rest = after;
  }
}

qxViewHolder* qxViewHolder::ReleaseNext() {
  qxViewHolder* rest = next_;
  next_ = nullptr;
  return rest;
}

int32_t qxViewHolder::Mapped(int32_t index) const {
  auto found = indexMap_.find(index);
  return found != indexMap_.end() ? found->second : kNoProperty;
}

// ---- Properties.

int32_t qxViewHolder::IndexOf(const Vcon::String& name) {
  const int32_t own = element_->IndexOf(name);
  const int32_t theirs = next_ != nullptr ? next_->IndexOf(name) : kNoProperty;
  int32_t result = own;
  if (own == kNoProperty && theirs != kNoProperty) result = theirs + 1000;
  if (result != kNoProperty) indexMap_[result] = theirs;
  return result;
}

void qxViewHolder::GetPropertyName(Vcon::String& out, int32_t index) {
  if (head_ == this)
    element_->GetPropertyName(out, index);
  else if (next_ != nullptr)
    next_->GetPropertyName(out, Mapped(index));
  else
    out.clear();
}

int32_t qxViewHolder::GetPropertyCount() { return element_->GetPropertyCount(); }

ppParameter qxViewHolder::GetValue(int32_t index) {
  if (head_ == this) return element_->GetValue(index);
  if (next_ != nullptr) return next_->GetValue(Mapped(index));
  return ppParameter();
}

void qxViewHolder::SetValue(int32_t index, const ppParameter& value) {
  if (index == kBeginEdit) {
    ++batchDepth_;
  } else if (index == kEndEdit) {
    // A close without an open batch is ignored: the count never drops below zero.
    if (batchDepth_ == 0) return;
    if (--batchDepth_ == 0) {
      new qxViewHolderKillerSweeper(this);
      return;
    }
  } else if (index >= 0) {
    element_->SetValueAt(index, value, true);
  }
  if (next_ != nullptr) next_->SetValue(index < 0 ? index : Mapped(index), value);
}

void qxViewHolder::EndChange() {
  if (batchDepth_ == 0) return;
  element_->EndChange();
  if (next_ != nullptr) next_->EndChange();
}

ppUndoer* qxViewHolder::GetUndoer() { return element_->GetUndoer(); }

// ---- The chain.

void qxViewHolder::Activate() {
  qxViewHolder* previous = gCurrent;
  gCurrent = this;
  if (head_ != nullptr) head_->element_->BuildInfoPanel(this);
  if (previous == nullptr || previous->batchDepth_ != 0 || Holds(previous)) return;
  delete previous;
}

int32_t qxViewHolder::CountChain() const {
  int32_t count = 0;
  for (const qxViewHolder* h = this; h != nullptr; h = h->next_) ++count;
  return count;
}

bool qxViewHolder::Holds(const zelvproElement* element) const {
  for (const qxViewHolder* h = this; h != nullptr; h = h->next_)
    if (h->element_ == element) return true;
  return false;
}

bool qxViewHolder::Holds(const qxViewHolder* holder) const {
  for (const qxViewHolder* h = this; h != nullptr; h = h->next_)
    if (h == holder) return true;
  return false;
}

qxViewHolder* qxViewHolder::RemoveLinksTo(qxViewHolder* chain, const zelvproElement* element) {
  qxViewHolder** link = &chain;
  while (*link != nullptr) {
    qxViewHolder* holder = *link;
    if (holder->element_ != element) {
      link = &holder->next_;
      continue;
    }
    *link = holder->ReleaseNext();
    delete holder;
  }
  return chain;
}

std::unique_ptr<ppRegion> qxViewHolder::BuildRegion(std::unique_ptr<ppRegion> region) {
  if (region == nullptr) region = std::make_unique<ppRegion>();
  OutlineList outlines;
  element_->CollectOutlines(outlines);
  if (outlines.empty()) {
    if (std::unique_ptr<ppRegion> frame = element_->NewFrameRegion()) region->Union(*frame);
    return region;
  }
  const bool pivoted = pivot.x != 0.0f || pivot.y != 0.0f || pivot.z != 0.0f;
  const float scale = float(PlanScale());
  const plat::POINT origin = PlanPixelOrigin();
  for (const ElementOutline& outline : outlines) {
    // The points are the outline's own: the pixels are worked out on a copy.
    Handle copy = nullptr;
    MemDuplicate(outline.points, &copy);
    OwnedHandle points(copy);
    if (pivoted) PointListOffset(copy, pivot.x, pivot.z);
    if (angle != 0.0f) PointListRotate(copy, angle);
    if (pivoted) PointListOffset(copy, -pivot.x, -pivot.z);
    element_->ApplyPlacementXZ(copy);
    PointListDivide(copy, scale);
    PointListOffset(copy, float(origin.x), float(origin.y));
    UnitePolygon(*region, copy);
  }
  return region;
}

std::unique_ptr<ppRegion> qxViewHolder::ChainRegion() {
  std::unique_ptr<ppRegion> region = BuildRegion(nullptr);
  for (qxViewHolder* h = next_; h != nullptr; h = h->next_) region = h->BuildRegion(std::move(region));
  return region;
}

void qxViewHolder::TakeMinimumPosition(ppVector3& point) const {
  const ppVector3 own = element_->GetPosition();
  if (own.x < point.x || (own.x == point.x && own.z < point.z)) point = own;
}

// ---- Globals.

qxViewHolder* qxViewHolder::Current() { return gCurrent; }
qxViewHolder* qxViewHolder::ExclusionChain() { return gExclusion; }
void qxViewHolder::SetExclusionChain(qxViewHolder* chain) { gExclusion = chain; }

bool qxViewHolder::IsExcluded(const zelvproElement* element) {
  return gExclusion != nullptr && gExclusion->Holds(element);
}

void qxViewHolder::Reset() {
  delete gCurrent;  // clears gCurrent
  gExclusion = nullptr;
}
