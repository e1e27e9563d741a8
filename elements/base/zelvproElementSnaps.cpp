// Snap anchors and the links between them. A link is recorded on both sides (each anchor names the
// other element) and is made and broken only through SetSnapLink and ClearSnapLink, which also hand
// out and withdraw the access request the link gives. Anchor points are millimetres in the owning
// element's frame; searches convert them one level up, into the frame of the element's container.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <utility>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproPreferences.h"
#include "elements/base/iUnitWatch.h"
#include "elements/base/zelvproElement.h"
#include "foundation/TolerantMath.h"

namespace {

// Two anchors face each other when their absolute directions differ by less than this (radians).
constexpr double kFacingTolerance = 0.05;
// Resnap links anchors that lie closer than this (millimetres).
constexpr float kSnapDistance = 1.0f;

zelvproElement* ElementOf(ppView* view) {
  return view != nullptr && view->GetTypeCode() == zelvproElement::kTypeCode
             ? static_cast<zelvproElement*>(view)
             : nullptr;
}

// The catalogue setting that lets every link give its request, also one whose code is the
// partner's held key.
bool LinksAlwaysGiveRequests(zelvDatabase* database) {
  if (database == nullptr) return false;
  zelvproPreferences& settings = database->SettingsFile();
  return RecordField(settings, "unlockChildren").Long(settings.GetRecordBuffer()) != 0;
}

// Whether the group of `table` keyed `key` excludes `code`: the group's words up to and including
// its closing 0 (so code 0 is excluded too); nothing is excluded when no group has that key.
bool ExcludesCode(const std::vector<int32_t>& table, int32_t key, int32_t code) {
  size_t i = 0;
  while (i < table.size()) {
    const size_t start = i + 1;
    size_t end = start;
    while (end < table.size() && table[end] != 0) ++end;
    const size_t stop = std::min(end + 1, table.size());
    if (table[i] == key)
      return std::find(table.begin() + ptrdiff_t(start), table.begin() + ptrdiff_t(stop), code) !=
             table.begin() + ptrdiff_t(stop);
    i = stop;
  }
  return false;
}

float SnapDistance(const ppVector3& a, const ppVector3& b, uint32_t flags) {
  const float dx = a.x - b.x, dz = a.z - b.z;
  const float dy = (flags & zelvproElement::kSnap3D) != 0 ? a.y - b.y : 0.0f;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace

bool zelvproElement::GetPointEntry(int32_t index, SnapAnchor& out) const {
  if (index < 0 || index >= GetPointCount()) return false;
  out = snapPoints[size_t(index)];
  return true;
}

bool zelvproElement::HasLinkedAnchor(int32_t code, const std::vector<SnapAnchor>& anchors) {
  return std::any_of(anchors.begin(), anchors.end(),
                     [&](const SnapAnchor& a) { return a.code == code && a.partner != nullptr; });
}

int32_t zelvproElement::FirstLinkedAnchor(const std::vector<SnapAnchor>& anchors, int32_t& level) {
  for (const SnapAnchor& anchor : anchors) {
    if (anchor.partner == nullptr || (anchor.flags & SnapAnchor::kNoAccessRequest) != 0) continue;
    level = anchor.level;
    return anchor.code;
  }
  level = 0;
  return 0;
}

bool zelvproElement::OffersAnchor(int32_t index, const SnapAnchor& query, uint32_t flags) const {
  const SnapAnchor& anchor = std::as_const(snapPoints)[size_t(index)];
  if (!query.Matches(anchor.code) || anchor.partner != nullptr) return false;
  if ((flags & kSnapSkipFlagged) != 0 && (anchor.flags & SnapAnchor::kSkippable) != 0) return false;
  return !ExcludesCode(excludes, unitRecordId, anchor.code);
}

float zelvproElement::AnchorDistance(int32_t index, const SnapAnchor& query, zelvproElement* asker,
                                     uint32_t flags) const {
  ppVector3 point = std::as_const(snapPoints)[size_t(index)].point;
  LocalToWorld(point);
  float distance = SnapDistance(point, query.point, flags);
  // A plan search for an element being placed also keeps the height apart.
  if (asker != nullptr && flags == 0) distance = std::max(distance, std::fabs(point.y - query.point.y));
  return distance;
}

zelvproElement* zelvproElement::NearestOwnSnap(const SnapAnchor& query, SnapAnchor& out, float& best,
                                               int32_t& index, zelvproElement* asker, uint32_t flags) {
  zelvproElement* found = nullptr;
  for (int32_t i = 0; i < GetPointCount(); ++i) {
    if (!OffersAnchor(i, query, flags)) continue;
    const float distance = AnchorDistance(i, query, asker, flags);
    if (distance < best) {
      best = distance;
      index = i;
      out = std::as_const(snapPoints)[size_t(i)];
      found = this;
    }
  }
  return found;
}

zelvproElement* zelvproElement::NearestSnap(const SnapAnchor& query, SnapAnchor& out, float& best,
                                            int32_t& index, zelvproElement* asker, uint32_t flags) {
  if (query.partner != nullptr) return nullptr;  // a linked anchor is not looked for
  zelvproElement* found = NearestOwnSnap(query, out, best, index, asker, flags);
  const ppViewList& children = Subviews();
  for (int32_t c = 0; c < children.Count(); ++c) {
    zelvproElement* child = ElementOf(children.At(c));
    if (child == nullptr) continue;
    if (zelvproElement* nearer = child->NearestSnap(query, out, best, index, asker, flags)) found = nearer;
  }
  return found;
}

void zelvproElement::NoteSnapChange() {
  zelvproElement* unit = this;
  for (zelvproElement* up = ContainerElement(); up != nullptr; unit = up, up = up->ContainerElement()) {
    if (up->snapWatch_ != nullptr) {
      up->snapWatch_->UnitChanged(unit);
      return;
    }
  }
}

void zelvproElement::AddSubview(ppView* view) {
  ppView::AddSubview(view);
  NoteSnapChange();
}

void zelvproElement::InsertSubview(ppView* view, int32_t index) {
  ppView::InsertSubview(view, index);
  NoteSnapChange();
}

void zelvproElement::RemoveSubview(ppView* view) {
  ppView::RemoveSubview(view);
  NoteSnapChange();
}

void zelvproElement::ConnectSnaps(zelvproElement* a, zelvproElement* b, int32_t anchorA, int32_t anchorB) {
  SnapAnchor ea, eb;
  if (a == nullptr || b == nullptr || !a->GetPointEntry(anchorA, ea) || !b->GetPointEntry(anchorB, eb))
    return;
  float turn = a->GetAbsoluteAngle() + ea.direction - b->GetAbsoluteAngle() - eb.direction;
  NormalizeAngle(turn);
  if (!NearlyEqual(turn, 0.0, kFacingTolerance)) return;
  bool giveA = (ea.flags & SnapAnchor::kNoAccessRequest) == 0;
  bool giveB = (eb.flags & SnapAnchor::kNoAccessRequest) == 0;
  if (!LinksAlwaysGiveRequests(a->database)) {
    giveA = giveA && ea.code != b->GetHeldAccessKey();
    giveB = giveB && eb.code != a->GetHeldAccessKey();
  }
  a->SetSnapLink(anchorA, b, giveA);
  b->SetSnapLink(anchorB, a, giveB);
  const int32_t recordOfB = b->LinkedRecord();
  const int32_t recordOfA = a->LinkedRecord();
  if (recordOfB != 0 && (ea.flags & SnapAnchor::kTakesLinkedRecord) != 0) a->SetLinkedRecord(recordOfB);
  if (recordOfA != 0 && (eb.flags & SnapAnchor::kTakesLinkedRecord) != 0) b->SetLinkedRecord(recordOfA);
  b->InvalidateTree();
}

void zelvproElement::SetSnapLink(int32_t index, zelvproElement* partner, bool giveRequest) {
  if (index < 0 || index >= GetPointCount()) return;
  snapPoints[size_t(index)].partner = partner;
  // A copy: the request may make a catalogue element load other anchors.
  const SnapAnchor anchor = snapPoints[size_t(index)];
  if (giveRequest) PushAccessRequest(anchor.code, anchor.level, anchor.flags, partner);
  if ((anchor.flags & SnapAnchor::kMoveBeside) == 0 || partner == nullptr || partner == this) return;
  if (ppView* container = GetSupervisor()) {
    DetachFromSupervisor();
    const int32_t k = container->Subviews().Find(partner);
    container->InsertSubview(this, (anchor.flags & SnapAnchor::kBeforePartner) != 0 ? k : k + 1);
  }
  partner->AddAssociate(this);  // keeps one link per element
}

void zelvproElement::ClearSnapLink(int32_t index, zelvproElement* partner) {
  if (index < 0 || index >= GetPointCount()) return;
  snapPoints[size_t(index)].partner = nullptr;
  const SnapAnchor anchor = snapPoints[size_t(index)];
  PopAccessRequest(anchor.code, anchor.level);
  if ((anchor.flags & SnapAnchor::kMoveBeside) != 0 && partner != nullptr) partner->RemoveAssociate(this);
}

void zelvproElement::DisconnectSnaps(zelvproElement* a, zelvproElement* b, int32_t anchorA, int32_t anchorB) {
  if (a == nullptr || b == nullptr) return;
  a->ClearSnapLink(anchorA, b);
  b->ClearSnapLink(anchorB, a);
  b->InvalidateGeometry();
  a->InvalidateGeometry();
}

void zelvproElement::ReleaseOutsideSnaps(ElementList& list) {
  for (zelvproElement* element : list) {
    for (int32_t i = 0; i < element->GetPointCount(); ++i) {
      zelvproElement* partner = element->snapPoints[size_t(i)].partner;
      if (partner == nullptr || std::find(list.begin(), list.end(), partner) != list.end()) continue;
      const int32_t code = element->snapPoints[size_t(i)].code;
      for (int32_t j = 0; j < partner->GetPointCount(); ++j) {
        const SnapAnchor& theirs = partner->snapPoints[size_t(j)];
        if (theirs.partner == element && theirs.Matches(code)) DisconnectSnaps(element, partner, i, j);
      }
      if (i < element->GetPointCount()) element->snapPoints[size_t(i)].partner = nullptr;
    }
  }
}

void zelvproElement::Resnap() {
  zelvproElement* container = ElementOf(GetSupervisor());
  if (container == nullptr) return;
  // An element that holds a request keeps its links; the others are rebuilt from scratch, except
  // those the partner marked to be kept. Sizes are read afresh: a new request may reload anchors.
  if (currcat == 0) {
    for (int32_t i = 0; i < GetPointCount(); ++i) {
      zelvproElement* partner = snapPoints[size_t(i)].partner;
      if (partner == nullptr) continue;
      const int32_t code = snapPoints[size_t(i)].code;
      for (int32_t j = 0; j < partner->GetPointCount(); ++j) {
        const SnapAnchor& theirs = partner->snapPoints[size_t(j)];
        if (!theirs.Matches(code) || theirs.partner != this) continue;
        if ((theirs.flags & SnapAnchor::kKeepOnResnap) != 0) continue;
        DisconnectSnaps(this, partner, i, j);
        break;
      }
    }
  }
  for (int32_t i = 0; i < GetPointCount(); ++i) {
    SnapAnchor query = snapPoints[size_t(i)];
    if (query.partner != nullptr) continue;
    LocalToWorld(query.point);
    SnapAnchor found;
    float best = FLT_MAX;
    int32_t j = -1;
    zelvproElement* other = container->NearestSnap(query, found, best, j, this, kSnap3D | kSnapPassOn);
    if (other != nullptr && other != this && best < kSnapDistance) ConnectSnaps(this, other, i, j);
  }
}

void zelvproElement::ResnapList(ElementList& list) {
  for (zelvproElement* element : list) element->Resnap();
}

void zelvproElement::UnlinkBeforeDeletion() {
  // Children go first, while this element is whole: they unlink from their partners, this one
  // among them. A subview that does not name this element as its supervisor is left to the view.
  while (Subviews().Count() > 0) {
    ppView* last = Subviews().At(Subviews().Count() - 1);
    if (last->GetSupervisor() != this) break;
    last->WillBeDeleted();
    delete last;
  }
  for (SnapAnchor& anchor : snapPoints) {
    zelvproElement* partner = anchor.partner;
    anchor.partner = nullptr;
    if (partner == nullptr || partner == this) continue;
    for (SnapAnchor& theirs : partner->snapPoints)
      if (theirs.partner == this) theirs.partner = nullptr;
    partner->RemoveAssociate(this);
  }
}
