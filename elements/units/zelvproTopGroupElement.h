// A catalogue unit made of several top-view elements that is drawn, hit, selected, moved and turned
// as one piece: its frame is the union of its children's, a click anywhere on a child is the group's,
// and its colour goes to every child. The top-view element base builds one child per entry of the
// record's sub-element list, placed relative to the group.
//
// A group whose record has flag 0x100 is a placement aid: the first time it is moved or dropped it
// dissolves, its children standing in the group's container as ordinary elements at the plan
// position and angle they showed, and the empty group goes to the application's deletion list.
//
// Ownership: the group owns its children until it dissolves. User-interface thread only.
#pragma once

#include "elements/topview/zelvproTopViewElement.h"

class zelvproTopGroupElement : public zelvproTopViewElement {
 public:
  // Flag-word bit: dissolve on the first move or drop.
  static constexpr uint32_t kDissolvesOnPlacement = 0x100;

  zelvproTopGroupElement(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
                         zelvproShapeFil& shapes);

  // Window pixels: the union of the children's regions (empty without children).
  std::unique_ptr<ppRegion> GetVisibleRegion() override { return GetFrameRegion(); }
  std::unique_ptr<ppRegion> GetFrameRegion() override;
  std::unique_ptr<ppRegion> NewFrameRegion() override;
  // The children draw themselves as subviews.
  void DrawContent(ppDC& /*dc*/) override {}
  // The drag outline of a group is the outlines of its children.
  void DrawOutlineAt(int32_t x, int32_t y, float angle, float pivotX, float pivotY, ppDC& dc) override;
  // A press inside any child's region is the group's own click; the children are never asked.
  bool MouseDown(int32_t x, int32_t y) override;
  // Every child turns by `value`; the group's own angle stays.
  void Rotate(float value) override;
  // The children take the group's colour and apply their units again.
  void InvalidateGeometry() override;
  void AfterMove() override;
  void AfterPlace() override;

  // Hands the children to the group's container and the group to the deletion list. A group without
  // a container keeps its children (they would be left without an owner).
  void Dissolve();

 private:
  // Moves one child into the container at the plan position and angle it shows in the group.
  void FreeChild(zelvproElement& child, const plat::RECT& groupFrame, ppView& container);
};
