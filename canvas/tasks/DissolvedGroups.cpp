#include "canvas/tasks/DissolvedGroups.h"

#include <algorithm>

#include "elements/base/DeletionList.h"
#include "elements/base/zelvproElement.h"
#include "elements/units/zelvproTopGroupElement.h"
#include "framework/ppTask.h"

DissolvedGroups::~DissolvedGroups() {
  for (Group& g : groups_)
    if (g.dissolved) task_.DeleteKept(g.group);
}

bool DissolvedGroups::TakeOver(Group& g) {
  if (g.group->GetSupervisor() != nullptr) return false;
  DeletionList::Take(g.group);
  g.dissolved = true;
  return true;
}

void DissolvedGroups::AfterMove(zelvproElement* element) {
  auto* group = dynamic_cast<zelvproTopGroupElement*>(element);
  ppView* container = group != nullptr ? group->GetSupervisor() : nullptr;
  if (container == nullptr || (group->GetFlags() & zelvproTopGroupElement::kDissolvesOnPlacement) == 0) {
    element->AfterMove();
    return;
  }
  Group g{group, container, container->Subviews().Find(group), {}, false};
  const ppViewList& children = group->Subviews();
  for (int32_t i = 0; i < children.Count(); ++i)
    if (auto* part = dynamic_cast<zelvproElement*>(children.At(i)))
      g.parts.push_back(
          {part, part->GetPosition(), part->GetAnchorOffset(), part->GetAngle(), part->GetFrame()});
  group->AfterMove();
  if (!TakeOver(g)) return;
  task_.Keep(g.group);
  task_.Keep(g.container);
  for (const Part& p : g.parts) task_.Keep(p.element);
  groups_.push_back(std::move(g));
}

void DissolvedGroups::Restore() {
  for (auto g = groups_.rbegin(); g != groups_.rend(); ++g) {
    if (!g->dissolved) continue;
    for (const Part& p : g->parts) {
      p.element->Invalidate();
      p.element->DetachFromSupervisor();
      p.element->SetPosition(p.position);
      p.element->SetAnchorOffset(p.anchor);
      p.element->ChangeFrame(p.frame);
      p.element->SetPosition(p.position);
      p.element->StoreAngle(p.angle);
      g->group->AddSubview(p.element);
    }
    g->container->InsertSubview(g->group, std::clamp(g->index, 0, g->container->Subviews().Count()));
    g->group->InvalidateTree();
    g->group->Invalidate();
    g->dissolved = false;
  }
}

void DissolvedGroups::DissolveAgain() {
  for (Group& g : groups_) {
    if (g.dissolved || g.group->GetSupervisor() == nullptr) continue;
    g.container = g.group->GetSupervisor();
    task_.Keep(g.container);
    g.index = g.container->Subviews().Find(g.group);
    g.group->Dissolve();
    TakeOver(g);
  }
}
