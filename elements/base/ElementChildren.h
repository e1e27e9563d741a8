// Walking the child elements of a view: every subview that is a plan element, in subview order.
// Subviews that are no elements are skipped.
#pragma once

#include "elements/base/zelvproElement.h"
#include "framework/ppView.h"

template <typename Fn>
void ForEachChildElement(const ppView& view, Fn fn) {
  const ppViewList& children = view.Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    if (auto* child = dynamic_cast<zelvproElement*>(children.At(i))) fn(child);
  }
}
