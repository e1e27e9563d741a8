#include "canvas/view3d/zelvpro3DColorTask.h"

#include <algorithm>

#include "canvas/view3d/zelvpro3DTask.h"
#include "catalogue/databases/zelvDatabase.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproElement.h"
#include "elements/topview/CatalogReads.h"
#include "framework/ppCursorTable.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace {

// Bits 0 to 31 of a colour mask stand for colour groups 1 to 32.
constexpr int32_t kGroupBits = 32;

// The groups of `mask` whose colour lists (in the unit's catalogue) allow `colour`; a group without
// a list allows every colour. A unit of another catalogue narrows nothing.
uint32_t NarrowMask(zelvproElement* unit, uint32_t mask, int32_t colour, zelvDatabase* source) {
  zelvDatabase* db = unit != nullptr ? unit->GetDatabase() : nullptr;
  if (db == nullptr || db != source) return mask;
  uint32_t narrowed = 0;
  for (int32_t bit = 0; bit < kGroupBits; ++bit) {
    const uint32_t b = uint32_t{1} << bit;
    if ((mask & b) == 0) continue;
    const std::vector<int32_t> allowed = CatalogReads::GroupColours(*db, bit + 1);
    if (allowed.empty() || std::find(allowed.begin(), allowed.end(), colour) != allowed.end()) narrowed |= b;
  }
  return narrowed;
}

}  // namespace

zelvpro3DColorTask::zelvpro3DColorTask(int32_t newColour, zelvDatabase* colourDatabase, zelvpro3DPane* pane)
    : zelvproMouseTask(pane, pane), pane_(pane), newColour_(newColour), colourDatabase_(colourDatabase) {}

zelvpro3DColorTask::~zelvpro3DColorTask() = default;

bool zelvpro3DColorTask::StartWithElement(int32_t x, int32_t y, std::unique_ptr<ppRegion> region) {
  if (region == nullptr)
    region = std::make_unique<ppRegion>(
        plat::RECT{x - kHalfSquare, y - kHalfSquare, x + kHalfSquare, y + kHalfSquare});
  return zelvproMouseTask::StartWithElement(x, y, std::move(region));
}

void zelvpro3DColorTask::SetTrackCursor() {
  if (const ppCursorTable* table = ppCursorTable::Global())
    table->SetByIndex(table->FindResource(kCursorResource));
}

std::vector<zelvproElement*> zelvpro3DColorTask::Painted() const { return painted_; }

std::vector<int32_t> zelvpro3DColorTask::PreviousColours() const {
  std::vector<int32_t> out;
  for (size_t i = 0; i < previous_.Count(); ++i) out.push_back(previous_.Own(i));
  return out;
}

void zelvpro3DColorTask::Do() {
  holders_.reset();
  painted_.clear();
  previous_.Clear();
  iElementHost& host = iElementHost::Current();
  zelvproElement* picked = nullptr;
  ppVector3 point;
  zelvpro3DTask::SurfaceUnder(pane_, float(Current().x), float(Current().y), {}, point, picked);
  zelvproElement* top = host.TopCanvas();
  if (picked != nullptr && !picked->IsSelected()) {
    holders_.reset(new qxViewHolder(picked, nullptr, false));
  } else if (top != nullptr) {
    holders_.reset(top->CollectSelection(nullptr, true));
  }
  // Nothing to paint: the task is dropped from the history (before, a click on nothing with nothing
  // selected left it neither posted nor finished).
  nothingPainted_ = true;
  if (holders_ == nullptr) return;
  uint32_t mask = 0;
  for (qxViewHolder* h = holders_.get(); h != nullptr; h = h->Next())
    mask |= h->Element()->CollectBitMask(true);
  colourMask_ =
      NarrowMask(picked != nullptr ? picked : holders_->Element(), mask, newColour_, colourDatabase_);
  for (qxViewHolder* h = holders_.get(); h != nullptr; h = h->Next()) {
    zelvproElement* unit = h->Element();
    if (unit->GetDatabase() != colourDatabase_ || colourMask_ == 0) continue;
    painted_.push_back(unit);
    previous_.Keep(*unit);
    Keep(unit);  // its undo paints it back: a unit destroyed elsewhere takes this step off the history
    unit->ApplyColorRecord(newColour_, colourDatabase_, int32_t(colourMask_));
    unit->MarkTreeNeedsRedraw();
  }
  if (painted_.empty()) return;
  nothingPainted_ = false;
  if (pane_ != nullptr) pane_->DoCommand(kPostCommand, reinterpret_cast<intptr_t>(this));
  zelvproElement::InvalidateElement(host.ScenePane(), true);
  host.MarkDocumentModified();
  ppTask::Do();
}

void zelvpro3DColorTask::Paint(bool undo) {
  for (size_t i = 0; i < painted_.size(); ++i) {
    if (undo)
      previous_.Restore(i, *painted_[i], colourDatabase_);
    else
      painted_[i]->ApplyColorRecord(newColour_, colourDatabase_, int32_t(colourMask_));
    painted_[i]->MarkTreeNeedsRedraw();
  }
  zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true);
}

void zelvpro3DColorTask::Undo() {
  Paint(true);
  ppTask::Undo();
}

void zelvpro3DColorTask::Redo() {
  Paint(false);
  ppTask::Redo();
}
