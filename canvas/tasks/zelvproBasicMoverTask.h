// Moving units in the plan with the mouse: the outlines of the moved units follow the mouse, an anchor
// of another unit within reach is looked up on every move and, when one is found, the would-be
// placement at that anchor is tested for collisions (a stretchable unit beside a wall body is narrowed
// to fit where it can be), and the cursor shows the answer. Nothing in the plan changes while the mouse
// moves; the release commits (Do), and Undo and Redo swap the units between their old and new places,
// containers, angles and stretched widths.
//
// Units: plan millimetres (x right, y up, z down the screen), window pixels, radians.
// Ownership: the task owns the moved chain of holders; the extra chain and the canvas are not owned.
// User-interface thread only.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "canvas/tasks/zelvproMouseTask.h"
#include "elements/base/SnapAnchor.h"
#include "foundation/ppVector3.h"

class ppMatrix4;
class NearUnitIndex;
class ppView;
class qxViewHolder;
class zelvproCanvas;
class zelvproElement;
class zelvproTopCanvas;

class zelvproBasicMoverTask : public zelvproMouseTask {
 public:
  // The reach of the snap search while tracking, millimetres.
  static constexpr float kSnapReach = 500.0f;
  // The cursors (program cursor resources): the place is free; the place collides.
  static constexpr int32_t kFreeCursor = 145, kBlockedCursor = 140;
  // A stretch record's new x when the stretch does not move the unit.
  static constexpr float kNoShift = 8999999488.0f;
  // Units lower than this are lifted to it by the collision test, millimetres.
  static constexpr float kLowestUnit = 1.1f;
  // The canvas command that posts a task on the history and runs the canvas's after-edit step.
  static constexpr int32_t kPostAfterEdit = 3037;

  // The pending stretch of a unit (its "XDim" narrowed, maybe shifted towards the snap point).
  struct Stretch {
    zelvproElement* element = nullptr;  // null: none pending
    float width = 0.0f;
    float newX = kNoShift, newZ = 0.0f;
    float savedWidth = 0.0f, savedX = 0.0f, savedZ = 0.0f;
  };

  // Takes the chain `moved` over; every moved element is marked changed and its tree gets state bit 2.
  zelvproBasicMoverTask(qxViewHolder* moved, zelvproCanvas* canvas, qxViewHolder* extra, bool scheduleUpdate);
  ~zelvproBasicMoverTask() override;

  void Do() override;
  void SetTarget(void* /*target*/) override {}
  void Undo() override;
  void Redo() override;
  bool IsEmpty() override { return rejected_; }
  // Shift holds the mouse on the axis it left the press along.
  void PreTrack(plat::POINT* point) override;
  // At the press: the group's reference position and the drawing offset; the point is not changed.
  void Constrain(plat::POINT& point) override;
  // The snap search and the placement test at the found anchor.
  void Track() override;
  void DrawFeedback(int32_t x, int32_t y) override;
  void EraseFeedback(int32_t x, int32_t y) override;
  void SetTrackCursor() override;
  // A press and release without a drag: the units stay and re-snap.
  void Click() override;
  virtual void TrackRectangle() {}

  // Puts the moved units where the snap would put them (re-parented into the snap target's container);
  // false, and nothing moved, when the target has no container.
  bool PlaceAtSnap();
  // True when no moved unit collides with the room or another unit. Lifts units below kLowestUnit.
  bool CheckCollisions();
  // Forgets the answers kept per snap point, so that the next move tests its snap point again.
  void ClearSnapCaches();

  // ---- What the tests and the commit read.
  zelvproElement* SnapTarget() const { return snapTarget_; }
  plat::POINT DrawingOffset() const { return drawingOffset_; }
  bool PlaceFree() const { return placeFree_; }
  bool AxisLocked() const { return axisLocked_; }
  const Stretch& PendingStretch() const { return stretch_; }
  zelvproElement* CollidingA() const { return collidingA_; }
  zelvproElement* CollidingB() const { return collidingB_; }
  // How often the collision renderer ran in this task.
  int32_t CollisionRuns() const { return collisionRuns_; }
  // How many units (top-level subtrees of the plan, room parts) the last test put into its scene.
  int32_t LastSceneUnits() const { return lastSceneUnits_; }
  const qxViewHolder* Moved() const { return moved_.get(); }
  // The cursor resource the task chose last (kFreeCursor or kBlockedCursor); 0 before the first.
  int32_t TrackCursor() const { return cursorId_; }

  // The program-wide collision-test option: on by default, switched only by tests. Its reset (the
  // desktop's reset list) switches it on again.
  static bool CollisionTestOn();
  static void SetCollisionTestOn(bool on);
  // Makes the collision test put the whole plan into its scene, as a plain walk over every unit would
  // (the reference the near-unit scene is checked against); off by default, reset with the option.
  static void SetWholePlanScope(bool on);

 protected:
  // What the task keeps of one moved unit: where it was and in which container, so that a tentative
  // placement, a refused commit and Undo put it back exactly; Undo and Redo swap these with the
  // element's state.
  struct Place {
    zelvproElement* element = nullptr;
    ppVector3 position;
    float angle = 0.0f;  // own angle, relative to the container
    ppView* container = nullptr;
    int32_t index = -1;  // position among the container's subviews
    ppVector3 offset;    // from the group's reference position (x and z)
  };

  zelvproCanvas* Canvas() const { return canvas_; }
  std::vector<Place>& Places() { return places_; }
  bool ScheduleUpdateFlag() const { return scheduleUpdate_; }
  void SetRejected(bool rejected) { rejected_ = rejected; }
  // Every moved unit back to its saved place, angle and container.
  void RestorePlaces();
  // Exchanges every unit's place, angle and container with the saved ones.
  void SwapPlaces();
  // The closing steps of Undo and Redo.
  void AfterSwap(bool undo);
  // Takes `moved` over as the moved chain and deletes the former one (not its elements); the saved
  // places stay those of the press.
  void ReplaceMoved(qxViewHolder* moved);

 private:
  // The drag vector between the press and the current point, plan millimetres.
  ppVector3 DragVector() const;
  plat::POINT PlanToPixels(const ppVector3& p) const;
  // The rigid motion that puts the snapped element's anchor on the target's: turn theta (radians, as an
  // element angle grows), the snapped element's shift and the target anchor in plan coordinates.
  struct SnapMotion {
    float theta = 0.0f;
    ppVector3 v, w, tw;
  };
  bool ComputeSnapMotion(SnapMotion& out) const;
  // The container the moved units take at the snap: the snap target's; null without a target or when
  // the target stands in none.
  zelvproElement* SnapContainer() const;
  // Puts `place`'s element at the plan position `world` with the absolute angle `absAngle`, inside
  // `container` (re-parented when it is another).
  void PutAt(Place& place, const ppVector3& world, float absAngle, zelvproElement* container);
  // Puts `place`'s element back under its saved container (at its saved index while that is in range,
  // else last) when it is elsewhere, with its saved position and angle.
  static void PutBack(const Place& place);
  // The moved units as a list, their snaps to units outside it released and made again among them.
  std::vector<zelvproElement*> ResnapMoved();
  // Whether the units dropped here without a snap would stand: the commit's plain move and push back
  // inside the room, tested and undone. Kept per drag vector.
  bool PlainPlaceFree(const ppVector3& drag);
  // The stretch to fit after a collision at the snap point; sets placeFree_.
  void StretchToFit();
  void ApplyWidth(zelvproElement* element, float width);
  void ShiftPending();
  bool IsMoved(const zelvproElement* element) const;
  // Collision test internals: the plan units whose extent comes near the moved ones.
  void CollectScene(zelvproTopCanvas* top, bool overlaps, std::vector<zelvproElement*>& units);
  void IdentifyPair(std::vector<zelvproElement*>& collected, const std::vector<zelvproElement*>& moving,
                    class iScene& scene);

  zelvproCanvas* canvas_;
  std::unique_ptr<qxViewHolder> moved_;
  qxViewHolder* extra_;
  std::vector<Place> places_;
  zelvproElement* snapTarget_ = nullptr;
  zelvproElement* snappedElement_ = nullptr;
  int32_t movedAnchor_ = -1, targetAnchor_ = -1;
  plat::POINT targetMarker_{}, movedMarker_{};
  bool axisLocked_ = false, lockVertical_ = false;
  // The target's anchor as the snap search found it.
  SnapAnchor snapPoint_;
  ppVector3 snapPointWorld_;
  bool rejected_ = false;
  bool scheduleUpdate_;
  struct PointLess {
    bool operator()(const ppVector3& a, const ppVector3& b) const;
  };
  std::map<ppVector3, bool, PointLess> collisionCache_;
  std::map<ppVector3, Stretch, PointLess> stretchCache_;
  std::map<ppVector3, bool, PointLess> plainCache_;
  bool placeFree_ = true;
  zelvproElement* collidingA_ = nullptr;
  zelvproElement* collidingB_ = nullptr;
  Stretch stretch_;
  // The stretch the commit applied: Undo puts the saved width back, Redo applies it again.
  Stretch committedStretch_;
  ppVector3 reference_;
  plat::POINT drawingOffset_{};
  int32_t collisionRuns_ = 0;
  int32_t cursorId_ = 0;
  int32_t lastSceneUnits_ = 0;
  std::unique_ptr<NearUnitIndex> near_;
};
