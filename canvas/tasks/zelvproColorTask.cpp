#include "canvas/tasks/zelvproColorTask.h"

#include <algorithm>

#include "catalogue/databases/zelvDatabase.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/topview/CatalogReads.h"
#include "framework/ppCursorTable.h"

namespace {

// Bits 0 to 31 of a colour mask stand for colour groups 1 to 32.
constexpr int32_t kGroupBits = 32;

void RefreshViews() { zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true); }

}  // namespace

zelvproColorTask::zelvproColorTask(int32_t colourId, zelvDatabase* source, zelvproCanvas* canvas)
    : zelvproMouseTask(canvas, canvas), canvas_(canvas), colourId_(colourId), source_(source) {}

zelvproColorTask::~zelvproColorTask() { delete units_; }

bool zelvproColorTask::StartWithElement(int32_t x, int32_t y, std::unique_ptr<ppRegion> region) {
  // The square that follows the mouse, around the press point.
  if (region == nullptr)
    region = std::make_unique<ppRegion>(
        plat::RECT{x - kHalfSquare, y - kHalfSquare, x + kHalfSquare, y + kHalfSquare});
  return zelvproMouseTask::StartWithElement(x, y, std::move(region));
}

void zelvproColorTask::SetTrackCursor() {
  if (const ppCursorTable* table = ppCursorTable::Global())
    table->SetByIndex(table->FindResource(kCursorResource));
}

std::vector<zelvproElement*> zelvproColorTask::Units() const {
  std::vector<zelvproElement*> out;
  for (qxViewHolder* h = units_; h != nullptr; h = h->Next()) out.push_back(h->Element());
  return out;
}

qxViewHolder* zelvproColorTask::CollectUnits(const plat::POINT& at, zelvproElement*& hit) {
  zelvproCanvas* root = canvas_->GetCanvas();
  if (root == nullptr) return nullptr;
  hit = root->FindContainerFor(at.x, at.y, -1, nullptr);
  if (hit == root) hit = nullptr;
  if (hit != nullptr && !hit->IsSelected()) return new qxViewHolder(hit, nullptr, false);
  qxViewHolder* units = root->CollectSelection(nullptr, true);
  // Over empty plan with nothing selected: every unlocked unit.
  if (units == nullptr && hit == nullptr)
    ForEachChildElement(*root, [&](zelvproElement* unit) { units = unit->CollectEditable(units, true); });
  return units;
}

int32_t zelvproColorTask::NarrowMask(zelvproElement* unit, int32_t mask) const {
  zelvDatabase* db = unit != nullptr ? unit->GetDatabase() : nullptr;
  if (db == nullptr || db != source_) return mask;
  uint32_t narrowed = 0;
  for (int32_t bit = 0; bit < kGroupBits; ++bit) {
    const uint32_t b = uint32_t{1} << bit;
    if ((uint32_t(mask) & b) == 0) continue;
    const std::vector<int32_t> allowed = CatalogReads::GroupColours(*db, bit + 1);
    if (allowed.empty() || std::find(allowed.begin(), allowed.end(), colourId_) != allowed.end())
      narrowed |= b;
  }
  return int32_t(narrowed);
}

void zelvproColorTask::Do() {
  delete units_;
  units_ = nullptr;
  previous_.Clear();
  zelvproElement* hit = nullptr;
  const plat::POINT at = Current();
  units_ = CollectUnits(at, hit);
  if (units_ == nullptr) return;

  uint32_t all = 0;
  for (qxViewHolder* h = units_; h != nullptr; h = h->Next()) all |= h->Element()->CollectBitMask(true);
  mask_ = NarrowMask(hit != nullptr ? hit : units_->Element(), int32_t(all));

  for (qxViewHolder* h = units_; h != nullptr; h = h->Next()) {
    zelvproElement* unit = h->Element();
    previous_.Keep(*unit);
    Keep(unit);  // its undo paints it back: a unit destroyed elsewhere takes this step off the history
    unit->ApplyColorRecord(colourId_, source_, mask_);
    unit->MarkTreeNeedsRedraw();
  }
  // The catalogue keeps one last used colour per colour group it has: groups beyond its colour
  // codes are not recorded.
  if (mask_ != -1 && source_ != nullptr) {
    const int32_t groups = std::min(CatalogReads::ColourCodeCount(*source_), kGroupBits);
    for (int32_t bit = 0; bit < groups; ++bit)
      if ((uint32_t(mask_) & (uint32_t{1} << bit)) != 0) source_->SetLastGroupColor(bit + 1, colourId_);
  }
  ppTask::Do();
  canvas_->DoCommand(3053, reinterpret_cast<intptr_t>(this));
  iElementHost::Current().MarkDocumentModified();
  RefreshViews();
  // The element panel lists the painted units' finishes: it is built again to show the new one, as
  // Undo and Redo of the plan build it again.
  if (zelvproCanvas* root = canvas_->GetCanvas()) root->RequestUpdate(false);
}

void zelvproColorTask::Paint(bool undo) {
  size_t i = 0;
  for (qxViewHolder* h = units_; h != nullptr; h = h->Next(), ++i) {
    zelvproElement* unit = h->Element();
    if (undo)
      previous_.Restore(i, *unit, source_);
    else
      unit->ApplyColorRecord(colourId_, source_, -1);
    unit->MarkTreeNeedsRedraw();
  }
  iElementHost::Current().MarkDocumentModified();
  RefreshViews();
}

void zelvproColorTask::Undo() {
  if (units_ != nullptr) Paint(true);
  ppTask::Undo();
}

void zelvproColorTask::Redo() {
  if (units_ != nullptr) Paint(false);
  ppTask::Redo();
}
