#include "elements/base/zelvproElement.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <vector>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "database/ppDatafile.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/ElementGeometryCache.h"
#include "elements/base/iElementHost.h"
#include "elements/base/iScenePane.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproLayerPalette.h"
#include "elements/topview/iCalculationList.h"
#include "framework/ppMouseTask.h"
#include "framework/ppUndoer.h"
#include "platform/ResetList.h"

namespace {

// The redraw protocol's state; user-interface thread only.
bool gMuted = false;
std::unique_ptr<ppRegion> gPendingRegion;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("element redraw", [] { zelvproElement::ResetRedraw(); });

// The record id of the record of `file` whose stored id (field `field`) is `stored`; 0 for 0 or none.
int32_t RecordOfStoredId(ppDatafile& file, int32_t stored, const char* field = "id") {
  if (stored == 0) return 0;
  return file.FindRecordByKey(file.IndexOf(field), &stored);
}

}  // namespace

zelvproElement::zelvproElement(int32_t recordId, ppView* parent, const plat::RECT& frame,
                               zelvDatabase* database, int8_t horizontal, int8_t vertical)
    : ppView(parent, horizontal, vertical), recordId(recordId), database(database) {
  if (zelvproLayerPalette* palette = iElementHost::Current().LayerPalette()) saveId = palette->NextId();
  SetFrame(frame);
  price = ppMoney::FromRaw(ppMoney::kNoValue);
  quantity = DecimalNumber(int32_t{1});
  InitCommon();
}

zelvproElement::zelvproElement(ppView* parent, ppDatafile& module, bool /*flag*/) : ppView(parent, 0, 0) {
  ReadRecord(module);
  loadedFromDocument = 1;
  InitCommon();
}

void zelvproElement::InitCommon() {
  lastClickTime = ppMouseTask::GetTicks();
  unitLayer.owner = this;
  unitLayer.code = extraA;
}

void zelvproElement::ReadRecord(ppDatafile& module) {
  const char* r = module.GetRecordBuffer();
  auto longOf = [&](const char* name) { return RecordField(module, name).Long(r); };
  auto floatOf = [&](const char* name) { return float(RecordField(module, name).Double(r)); };
  quantity = RecordField(module, "quantity").Quantity(r);
  if (quantity.ToDouble() <= 0.0) quantity = DecimalNumber(int32_t{1});
  ReadPlacementFields(module);
  dimensions = ppVector3(floatOf("dimensionsx"), floatOf("dimensionsy"), floatOf("dimensionsz"));
  height = floatOf("height");
  saveId = longOf("id");
  price = ppMoney::FromRaw(RecordField(module, "price").MoneyRaw(r));
  customPriceSet = RecordField(module, "customPrice").MoneyRaw(r) != 0;
  under = longOf("under");
  const int32_t lockedChild = longOf("lockedChild");
  lockedChildBits = ((lockedChild & 0x4) != 0 ? 1 : 0) | ((lockedChild & 0x20) != 0 ? 2 : 0);
  unrealUnit = longOf("unrealUnit") != 0;
  extraA = longOf("extraA");
}

void zelvproElement::ReadPlacementFields(ppDatafile& module) {
  const char* r = module.GetRecordBuffer();
  auto longOf = [&](const char* name) { return RecordField(module, name).Long(r); };
  auto floatOf = [&](const char* name) { return float(RecordField(module, name).Double(r)); };
  position = ppVector3(floatOf("xposition"), floatOf("yposition"), floatOf("zposition"));
  anchor = ppVector3(floatOf("xanchor"), 0.0f, floatOf("yanchor"));
  angle = floatOf("rotation");
  NoteSnapChange();  // a record read back into an element of a plan moves it
  kind = longOf("type");
  locked = longOf("locked") != 0;
  calculate = longOf("calculate") != 0;
  currcat = longOf("currcat");
  curref = longOf("curref");
  lockUnits = longOf("lockUnits") != 0;
  tag = longOf("tag");
  canvasType = longOf("canvasType");
  dropType = longOf("dropType");
  SetFrame(plat::RECT{longOf("viewL"), longOf("viewT"), longOf("viewR"), longOf("viewB")});
  database = iElementHost::Current().FindDatabase(longOf("database"));
  colorRecordId = unitRecordId = recordId = 0;
  if (database != nullptr) {
    colorRecordId = RecordOfStoredId(database->ColorCatalogFile(), longOf("color"));
    unitRecordId = RecordOfStoredId(database->UnitFile(), longOf("unitID"));
    recordId = RecordOfStoredId(database->TopViewFile(), longOf("recID"), "ID");
  }
}

zelvproElement::~zelvproElement() {
  // Tasks name their target by the element or, for property changes, by its property interface
  // (another address), and keep elements as views: no history may keep any of them, and no task
  // deletes the element again.
  const void* self = this;
  const void* view = static_cast<ppView*>(this);
  ppUndoer::PurgeTarget(self);
  if (view != self) ppUndoer::PurgeTarget(view);
  ppUndoer::PurgeTarget(static_cast<iProperty*>(this));
  // The price list keeps the element of each line beside it; that reference dies with the element.
  iCalculationList::Current().ElementGone(this);
  UnlinkBeforeDeletion();
  delete associates;
  associates = nullptr;
  // A generated worktop piece deleted with its canvas must not stay in the exclusion chain.
  if (qxViewHolder::IsExcluded(this))
    qxViewHolder::SetExclusionChain(qxViewHolder::RemoveLinksTo(qxViewHolder::ExclusionChain(), this));
  iElementHost& host = iElementHost::Current();
  if (host.LastClickedElement() == this) host.SetLastClickedElement(nullptr);
  DropCachedObject();
}

void zelvproElement::DropCachedObject() {
  if (cachedObject != nullptr && cachedObject->IsPrivate()) delete cachedObject;
  cachedObject = nullptr;
}

// ---- Element interface bodies of the base.

void zelvproElement::UpdateAnnotationsTree(ppDC& dc) {
  UpdateAnnotations(dc);
  ForEachChildElement(*this, [&](zelvproElement* child) { child->UpdateAnnotationsTree(dc); });
}

zelvproElement* zelvproElement::GetParentElement() { return static_cast<zelvproElement*>(GetSupervisor()); }

void zelvproElement::AddToCalculation() {
  ForEachChildElement(*this, [](zelvproElement* child) { child->AddToCalculation(); });
}

void zelvproElement::RemoveFromCalculation() {
  ForEachChildElement(*this, [](zelvproElement* child) { child->RemoveFromCalculation(); });
}

void zelvproElement::ResnapTree() {
  InvalidateTree();
  Resnap();
  // A child's new link may move it among its siblings: walk the children as they were.
  ElementList children;
  ForEachChildElement(*this, [&](zelvproElement* child) { children.push_back(child); });
  for (zelvproElement* child : children) child->ResnapTree();
}

void zelvproElement::SetTagTree(int32_t value) {
  tag = value;
  const ppViewList& children = Subviews();
  for (int32_t i = children.Count() - 1; i >= 0; --i)
    static_cast<zelvproElement*>(children.At(i))->SetTagTree(value);
}

zelvproElement* zelvproElement::FindById(int32_t saveNumber) {
  if (saveId == saveNumber) return this;
  zelvproElement* found = nullptr;
  ForEachChildElement(*this, [&](zelvproElement* child) {
    if (found == nullptr) found = child->FindById(saveNumber);
  });
  return found;
}

void zelvproElement::DetachAccessory(zelvproElement* element) {
  if (element != nullptr) element->DetachFromSupervisor();
}

bool zelvproElement::DiffersFromRecord(zelvproElement* other) {
  // An element that keeps its own calculation line never shares one.
  if (SeparateLine()) return true;
  return other->recordId != recordId || other->colorRecordId != colorRecordId;
}

void zelvproElement::CollectParts(PartsList& parts) {
  ForEachChildElement(*this, [&](zelvproElement* child) { child->CollectParts(parts); });
}

ppMoney zelvproElement::GetTotalPrice() {
  ppMoney sum = ppMoney::FromRaw(0);
  ForEachChildElement(*this, [&](zelvproElement* child) { sum += child->GetTotalPrice(); });
  return sum;
}

ppMoney zelvproElement::GetTotalPrice2() {
  ppMoney sum = ppMoney::FromRaw(0);
  ForEachChildElement(*this, [&](zelvproElement* child) { sum += child->GetTotalPrice2(); });
  return sum;
}

void zelvproElement::RenumberSaveIds() {
  if (zelvproLayerPalette* palette = iElementHost::Current().LayerPalette()) saveId = palette->NextId();
  ForEachChildElement(*this, [](zelvproElement* child) { child->RenumberSaveIds(); });
}

void zelvproElement::DrawSymbols(intptr_t value) {
  ForEachChildElement(*this, [&](zelvproElement* child) { child->DrawSymbols(value); });
}

// ---- Tree operations.

void zelvproElement::InvalidateTree() {
  // The rebuilt geometry may give another box: the canvas's overlap index files the tree again.
  NoteSnapChange();
  changed = 1;
  DropCachedObject();
  ForEachChildElement(*this, [](zelvproElement* child) { child->InvalidateTree(); });
}

void zelvproElement::MarkTreeNeedsRedraw() {
  needsRedraw = 1;
  ForEachChildElement(*this, [](zelvproElement* child) { child->MarkTreeNeedsRedraw(); });
}

namespace {

void MarkPendingUpdate(zelvproElement* element) {
  element->pendingUpdate = 1;
  ForEachChildElement(*element, MarkPendingUpdate);
}

}  // namespace

void zelvproElement::MarkTreePendingUpdate() {
  // A tree whose geometry is to be rebuilt may have moved its anchors too (some code moves them
  // directly and only marks the tree).
  NoteSnapChange();
  MarkPendingUpdate(this);
}

void zelvproElement::ClearTreeMark() {
  mark = 0;
  ClearWarning();
  ForEachChildElement(*this, [](zelvproElement* child) { child->ClearTreeMark(); });
}

void zelvproElement::SetStateBitsTree(uint32_t bits) {
  stateBits |= bits;
  ForEachChildElement(*this, [&](zelvproElement* child) { child->SetStateBitsTree(bits); });
}

void zelvproElement::ClearStateBitsTree(uint32_t bits) {
  stateBits &= ~bits;
  ForEachChildElement(*this, [&](zelvproElement* child) { child->ClearStateBitsTree(bits); });
}

void zelvproElement::LockTree() {
  locked = 1;
  ForEachChildElement(*this, [](zelvproElement* child) { child->LockTree(); });
}

void zelvproElement::UnlockTree() {
  locked = 0;
  ForEachChildElement(*this, [](zelvproElement* child) { child->UnlockTree(); });
}

void zelvproElement::CollectTree(ElementList& out) {
  out.push_back(this);
  ForEachChildElement(*this, [&](zelvproElement* child) { child->CollectTree(out); });
}

// ---- Redraw protocol.

void zelvproElement::Invalidate() {
  if (iElementHost::Current().CurrentViewId() == iElementHost::k3DView || GetSupervisor() == nullptr) return;
  std::unique_ptr<ppRegion> region = GetFrameRegion();
  if (region == nullptr) return;
  if (gPendingRegion == nullptr)
    gPendingRegion = std::move(region);
  else
    gPendingRegion->Union(*region);
}

void zelvproElement::ProcessPendingRedraws(zelvproElement* root, iScenePane* pane, bool redraw) {
  if (root == nullptr) return;
  if (root->changed == 0 && (root->needsRedraw != 0 || root->pendingUpdate != 0)) {
    if (redraw && root->GetSupervisor() != nullptr &&
        iElementHost::Current().CurrentViewId() != iElementHost::k3DView)
      root->Invalidate();
    if (pane != nullptr) pane->SetSceneOutOfDate();
    root->pendingUpdate = 0;
  }
  ForEachChildElement(*root, [&](zelvproElement* child) { ProcessPendingRedraws(child, pane, redraw); });
}

void zelvproElement::InvalidateElement(iScenePane* pane, bool redraw) {
  if (gMuted || pane == nullptr) return;
  iElementHost& host = iElementHost::Current();
  ProcessPendingRedraws(host.NewRoomCanvas(), pane, true);
  ProcessPendingRedraws(host.TopCanvas(), pane, true);
  if (!redraw) return;
  if (host.CurrentViewId() == iElementHost::k3DView) {
    pane->Invalidate();
    return;
  }
  RedrawPlan();
}

void zelvproElement::RedrawPlan() {
  if (gMuted || gPendingRegion == nullptr) return;
  iElementHost& host = iElementHost::Current();
  if (host.CurrentViewId() == iElementHost::k3DView) return;
  std::unique_ptr<ppRegion> region = std::move(gPendingRegion);
  host.InvalidatePlanEditor(*region);
}

void zelvproElement::SetMuted(bool muted) { gMuted = muted; }
bool zelvproElement::IsMuted() { return gMuted; }
ppRegion* zelvproElement::PendingRegion() { return gPendingRegion.get(); }

void zelvproElement::ResetRedraw() {
  gMuted = false;
  gPendingRegion.reset();
}
