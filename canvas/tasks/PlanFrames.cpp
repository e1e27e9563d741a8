#include "canvas/tasks/PlanFrames.h"

#include <vector>

#include "elements/base/zelvproElement.h"

ppVector3 PlanPoint(const zelvproElement* element, const ppVector3& local) {
  ppVector3 p = local;
  for (const zelvproElement* e = element; e != nullptr; e = e->ContainerElement()) e->LocalToWorld(p);
  return p;
}

ppVector3 ContainerPoint(const ppView* container, const ppVector3& plan) {
  std::vector<const zelvproElement*> chain;
  for (auto* e = dynamic_cast<const zelvproElement*>(container); e != nullptr; e = e->ContainerElement())
    chain.push_back(e);
  ppVector3 p = plan;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) (*it)->WorldToLocal(p);
  return p;
}

ppMatrix4 PlanMatrix(const zelvproElement* element) {
  ppMatrix4 out;
  element->BuildPlacementMatrix(out);
  for (const zelvproElement* e = element->ContainerElement(); e != nullptr; e = e->ContainerElement()) {
    ppMatrix4 placement, product;
    e->BuildPlacementMatrix(placement);
    out.Multiply(product, placement);  // row vectors: the own placement first, then the container's
    out = product;
  }
  return out;
}
