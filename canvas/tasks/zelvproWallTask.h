// Moving plan wall pieces with the mouse: the pieces' outlines follow the pointer, an anchor of another
// unit within reach is looked up on every move (marked with a small red square, the outlines turned as
// the release would turn them), and the release puts the pieces into the container under the pointer,
// or next to the found anchor with the anchors made to coincide. A release outside the canvas, over no
// container or where the container reports a collision is refused and puts everything back. Undo and
// Redo swap each piece between its old and new container, place and angle.
//
// The configurable unit's mover (zelvproConfigTask) is this task with the differences that class
// names.
//
// Units: plan millimetres (x right, y up, z down the screen), window pixels, radians.
// Ownership: the task owns the holder chain and the region given to it, not the elements; the canvas
// is not owned. User-interface thread only.
#pragma once

#include <memory>
#include <vector>

#include "canvas/tasks/AnchorMarker.h"
#include "canvas/tasks/RecordedBand.h"
#include "canvas/tasks/zelvproMouseTask.h"
#include "elements/base/SnapAnchor.h"
#include "foundation/ppVector3.h"

class ppRegion;
class qxViewHolder;
class zelvproCanvas;
class zelvproElement;

class zelvproWallTask : public zelvproMouseTask {
 public:
  // The reach of the anchor search, millimetres.
  static constexpr float kSnapReach = 500.0f;
  // The canvas command that posts a task on the history.
  static constexpr int32_t kPostAfterEdit = 3037;
  // The marker's half size (pixels) and its exclusive-or red (percent).
  static constexpr int32_t kMarkerHalf = AnchorMarker::kHalf;
  static constexpr int32_t kMarkerRed = AnchorMarker::kRed;

  // Takes the chain `holders` and `region` (may be null) over.
  zelvproWallTask(qxViewHolder* holders, zelvproCanvas* canvas, ppRegion* region);
  ~zelvproWallTask() override;

  void Do() override;
  void SetTarget(void* /*target*/) override {}
  void Undo() override;
  void Redo() override;
  bool IsEmpty() override { return rejected_; }
  // Shift holds the pointer on the axis it left the press along.
  void PreTrack(plat::POINT* point) override;
  // The pointer stands for the lead element's first anchor from the press on.
  void Constrain(plat::POINT& point) override;
  void Track() override;
  void DrawFeedback(int32_t x, int32_t y) override;
  void EraseFeedback(int32_t x, int32_t y) override;

  // ---- What the tests read.
  zelvproElement* SnapTarget() const { return snapTarget_; }
  plat::POINT Marker() const { return marker_; }
  bool AxisLocked() const { return axisDecided_; }
  const qxViewHolder* Holders() const { return holders_.get(); }

 protected:
  // The configurable unit's variant: outlines at the plain pointer offset, no wall link, no selection
  // and no 3D redraw after the commit; only the plan is repainted.
  zelvproWallTask(qxViewHolder* holders, zelvproCanvas* canvas, ppRegion* region, bool configurable);

  zelvproCanvas* Canvas() const { return canvas_; }
  void SetRejected(bool rejected) { rejected_ = rejected; }
  // True when the pointer lies outside the frame of the canvas's supervisor.
  bool ReleasedOutside() const;
  std::vector<zelvproElement*> Elements() const;

 private:
  // Where an element stood: container, index among its subviews, position and own angle.
  struct Place {
    zelvproElement* element = nullptr;
    ppView* container = nullptr;
    int32_t index = -1;
    ppVector3 position;
    float angle = 0.0f;
  };
  static Place PlaceOf(zelvproElement* element);
  static void PutBack(const Place& place);
  // Exchanges every element's place with the saved one.
  void SwapPlaces();
  void CloseSwap(bool undo);
  // The repaint that ends a commit, Undo and Redo.
  void Redraw();
  // The plan motion that puts the snapped element's anchor on the target's: turn (radians, as an
  // element angle grows) about the snapped anchor, which goes to `to`; `from` is that anchor now.
  bool SnapMotion(float& turn, ppVector3& from, ppVector3& to) const;
  void DrawBand(ppDC& dc);

  zelvproCanvas* canvas_;
  std::unique_ptr<qxViewHolder> holders_;
  std::unique_ptr<ppRegion> region_;
  bool configurable_ = false;
  bool axisDecided_ = false, axisHorizontal_ = false;
  zelvproElement* snapElement_ = nullptr;
  zelvproElement* snapTarget_ = nullptr;
  int32_t ownAnchor_ = -1, targetAnchor_ = -1;
  SnapAnchor snapAnchor_;  // the target's anchor; its point in plan coordinates
  plat::POINT marker_{};
  plat::POINT offset_{};
  bool rejected_ = false;
  bool changed_ = false;  // the commit changed places: a refusal puts them back
  std::vector<Place> places_;
  RecordedBand band_;
  // Where the marker stands on screen, while it does.
  AnchorMarker anchorMarker_;
};
