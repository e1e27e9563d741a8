// Moving plan units with the mouse in the 3D view: the units follow the surface under the mouse (the
// floor or the top of a unit), an anchor of another unit within reach is looked up on every move and,
// when one is found, the would-be placement at that anchor is tested for collisions (a stretchable
// unit beside a wall body is narrowed to fit where it can be); units that hang on walls follow the
// grid container under the mouse instead. The feedback draws the moved units into the pane over the
// picture the pane showed when the task was made, which the task keeps as an image. The release
// commits onto the anchor, the floor or the wall; Undo and Redo swap the units between their old and
// new places, containers, angles and stretched widths.
//
// Units: plan millimetres (x right, y up, z towards the viewer), pane window pixels, radians, ticks of
// 1/60 second. Ownership: the task owns its holder chain and the drag scene; the pane and the 3D
// canvas are not owned. User-interface thread only.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "canvas/tasks/zelvproMouseTask.h"
#include "foundation/ppVector2.h"
#include "foundation/ppVector3.h"
#include "scene3d/context/ppScene.h"

class NearUnitIndex;
class ppView;
class qxViewHolder;
class zelvpro3DPane;
class zelvproElement;
class zelvproTopCanvas;

class zelvpro3DTask : public zelvproMouseTask {
 public:
  // The reach of the snap search, millimetres.
  static constexpr float kSnapReach = 500.0f;
  // A stretch record's new x when the stretch does not move the unit.
  static constexpr float kNoShift = 8999999488.0f;
  // A floor drop keeps this far below the lowest wall, millimetres.
  static constexpr float kCeilingMargin = 0.1f;
  // No feedback is drawn until this many ticks after the press.
  static constexpr uint32_t kFeedbackDelay = 7;
  // Catalogue flags: hangs on walls; a grid container (a "wall" for the hanging units); the side
  // modes of a panel and of an inset part; may be narrowed to fit beside a wall body.
  static constexpr uint32_t kWallMounted = 0x200, kWallContainer = 0x80, kPanelSide = 0x1000,
                            kInsetSide = 0x2000, kStretchToFit = 0x20000000;
  // Pane commands: post the task; new units placed; units moved.
  static constexpr int32_t kPostCommand = 3037, kPlacedCommand = 3081, kMovedCommand = 3082;
  // Cursor resources: the place is blocked.
  static constexpr int32_t kBlockedCursor = 140;

  // The pending stretch of a unit (its "XDim" narrowed, maybe shifted towards the snap point).
  struct Stretch {
    zelvproElement* element = nullptr;  // null: none pending
    float width = 0.0f;
    float newX = kNoShift, newZ = 0.0f;
    float savedWidth = 0.0f, savedX = 0.0f, savedZ = 0.0f;
  };

  // Takes the chain `holders` over; `picked` (may be null: the first holder's unit) is where the
  // reference search starts. Every moved unit's tree gets state bit 2. The pane's picture is kept
  // here, for the feedback to draw over.
  zelvpro3DTask(qxViewHolder* holders, zelvpro3DPane* pane, zelvproElement* picked);
  ~zelvpro3DTask() override;

  void Do() override;
  void SetTarget(void* /*target*/) override {}
  void Undo() override;
  void Redo() override;
  bool IsEmpty() override { return failed_; }
  void Press(int32_t x, int32_t y) override;
  void Move(plat::POINT* point) override;
  // Shift holds the mouse on the axis it left the press along; a point outside the pane (less one
  // pixel) leaves the current point as it was.
  void PreTrack(plat::POINT* point) override;
  // At the press: the units' offsets from the reference and the drawing offset.
  void Constrain(plat::POINT& point) override;
  void Track() override;
  void DrawFeedback(int32_t /*x*/, int32_t /*y*/) override {}
  void EraseFeedback(int32_t /*x*/, int32_t /*y*/) override {}
  void SetTrackCursor() override;
  // A press and release without a drag: the units stay and re-snap.
  void Click() override;
  // The plan step between the press and the current point, (x, z) millimetres.
  virtual ppVector2 GetMoveVector();

  // The reference's place for the mouse at a pane point. The reference's first anchor keeps to the
  // pixel it was pressed away from (to a fraction of a pixel) and to its height above the surface:
  // over the floor the reference stands at its floor height (below), on a unit's top just above it.
  // The ray through that pixel meets the anchor's height over a unit's top or over the floor; the
  // place is that point less the anchor's offset. `unit` the unit met (null for the floor). False
  // when the ray meets neither. Moved units are never met. `hit`, when given, receives the point the
  // ray met first. In wall mode the heights are the surfaces' own. The ray keeps to the room: a ray
  // that meets an inner wall face first puts the moved units against that face, pushed back inside
  // the room's faces; a ray that meets no surface of the room gives no place (false).
  bool PlacementAt(const plat::POINT& at, ppVector3& point, zelvproElement*& unit, ppVector3* hit = nullptr);

  // How high above a surface the point that follows the ray stands, millimetres.
  struct Lift {
    float overFloor;
    float overTop;  // over a unit's box top
  };
  // Where a ray was stopped by an inner wall face of the room: the face's outward normal (y 0).
  struct WallStop {
    bool met = false;
    ppVector3 outward;
  };
  // For any pane: the plan's top-level unit (not one `skip` names) whose box, raised by `lift`'s
  // height over tops, the ray through the pane point (x, y: pixels, fractions allowed) meets first,
  // else the floor; `point` is where the ray meets the height `lift` gives over that surface (over
  // the floor below a unit's box met on a side). With `wall` given the ray keeps to the room: a ray
  // that leaves the room through an inner wall face before it comes down to that height gives the
  // point at that height against the face, 0.1 mm inside (`wall` says which face), and so does a ray
  // from outside the room that comes down to that height before it comes in through a face; a unit
  // met outside the room's outline is passed by, and any other floor point outside it gives none
  // (false). Without a room outline the floor has no edge.
  static bool SurfaceUnder(zelvpro3DPane* pane, float x, float y, const std::vector<zelvproElement*>& skip,
                           ppVector3& point, zelvproElement*& unit, ppVector3* hit = nullptr,
                           Lift lift = {0.0f, 0.0f}, WallStop* wall = nullptr);
  // The height (millimetres) the reference stands at over the floor while it moves: the height it
  // had at the press, or its catalogue height above the floor when it was lifted off a unit's top.
  float FloorHeight() const { return floorHeight_; }
  // Puts the moved units where the snap would put them (re-parented into the target's container);
  // false, and nothing moved, when the target has no container.
  bool ApplySnap();
  // True when no moved unit collides with the room or another unit.
  bool CollisionTest();
  // Every moved unit back to its saved place, angle, container and index.
  void RestorePlaces();

  // ---- What the tests and the commit read.
  zelvproElement* Reference() const { return reference_; }
  zelvproElement* SnapTarget() const { return snapTarget_; }
  const ppVector3& Target() const { return target_; }
  bool PlacementOk() const { return placementOk_; }
  bool AxisLocked() const { return axisLocked_; }
  bool WallMode() const { return wallMode_; }
  const Stretch& PendingStretch() const { return stretch_; }
  int32_t CollisionRuns() const { return collisionRuns_; }
  // How many plan units the last collision test put into its scene.
  int32_t LastSceneUnits() const { return lastSceneUnits_; }
  // How many feedback drawings reached the pane.
  int32_t FeedbackDraws() const { return feedbackDraws_; }
  // The cursor resource chosen last (kBlockedCursor), 0 for the default cursor.
  int32_t TrackCursor() const { return cursorId_; }
  const qxViewHolder* Holders() const { return holders_.get(); }
  zelvpro3DPane* Pane() const { return pane_; }
  // The wall (grid container) of the last wall-mode step and its three cell words.
  const int32_t* WallAttach() const { return wallAttach_; }

 protected:
  // What the task keeps of one moved unit.
  struct Place {
    zelvproElement* element = nullptr;
    ppVector3 position;  // in its container's frame
    float angle = 0.0f;  // own angle, relative to the container
    ppView* container = nullptr;
    int32_t index = -1;  // among the container's subviews
    ppVector3 offset;    // plan position less the reference's
  };

  std::vector<Place>& Places() { return places_; }
  void SetFailed(bool failed) { failed_ = failed; }
  void SetKeepOffsets(bool keep) { keepOffsets_ = keep; }
  void SetAnchorAtMouse(bool on) { anchorAtMouse_ = on; }
  void SetReference(zelvproElement* reference);
  // Exchanges every unit's place, angle and container with the saved ones.
  void SwapPlaces();
  // The closing steps of Undo and Redo.
  void AfterSwap(bool undo);
  // The units as a list, their snaps to units outside it released and made again among them.
  std::vector<zelvproElement*> Resnap();
  bool ReleasedOutside() const;
  zelvproElement* DropContainer() const { return dropContainer_; }

 private:
  void TrackOnFloor();
  void TrackOnWall();
  void StretchToFit();
  void ApplyWidth(zelvproElement* element, float width);
  bool DropOnSnap();
  // Puts the moved units where a floor drop at `position`, over the unit `under` (null: the floor),
  // puts them (the container under it, the ceiling, pushed back inside the walls); false, nothing
  // moved, when no container takes them.
  bool PlaceOnFloor(ppVector3 position, zelvproElement* under);
  // Whether a floor drop at the current point (or at `position`, over `under`, as PlacementAt found
  // them there) would stand: placed there, tested for collisions and put back; `target_` becomes
  // where the drop puts the reference. Once per place under the mouse.
  bool FloorTrial();
  bool FloorTrial(const ppVector3& position, zelvproElement* under);
  bool DropOnFloor();
  // Whether the wall drop has a wall to take the units: the wall the last tracking step found, still
  // the snap target (Ctrl lets it go).
  bool WallTaken() const;
  bool DropOnWall();
  // Puts `place`'s unit at the plan point `world` with the absolute angle `absAngle` inside
  // `container`, re-parented when it is another.
  static void PutAt(Place& place, const ppVector3& world, float absAngle, ppView* container);
  static void PutBack(const Place& place);
  bool IsMoved(const zelvproElement* element) const;
  // The shift (x, z) that brings the moved units' footprint, with the reference at the plan point
  // `at`, back inside the room's inner wall faces; zero when it is inside or there is no room.
  ppVector3 PushedBackInside(const ppVector3& at) const;
  // True when the reference stands on the top of a unit that is not moved.
  bool StandsOnAUnit() const;
  // The ceiling the room's walls set for a unit whose upper corner lies `upper` above its position.
  static float UnderCeiling(float y, float upper, float margin);
  void SavePicture();
  void RestorePicture();
  void DrawDragged();
  void CollectScene(zelvproTopCanvas* top, std::vector<zelvproElement*>& units);

  zelvpro3DPane* pane_;
  std::unique_ptr<qxViewHolder> holders_;
  std::vector<Place> places_;
  zelvproElement* reference_ = nullptr;
  size_t referenceIndex_ = 0;
  bool axisLocked_ = false, lockToHorizontal_ = false;
  bool keepOffsets_ = false;
  bool anchorAtMouse_ = false;
  uint32_t flags_ = 0;
  bool wallMode_ = false;
  int32_t wallAttach_[3] = {0, 0, 0};
  zelvproElement* wall_ = nullptr;
  ppVector3 target_;
  ppVector3 upper_;  // the first unit's upper bounds corner, from its position
  uint32_t containerFlags_ = 0;
  bool failed_ = false;
  bool placementOk_ = true;
  zelvproElement* snapTarget_ = nullptr;
  zelvproElement* snappedElement_ = nullptr;
  int32_t movedAnchor_ = -1, targetAnchor_ = -1;
  ppVector3 targetAnchorWorld_;
  plat::POINT snapMarker_{};
  // The press point less the window point of the reference's first anchor, pixels unrounded: a
  // rounded pixel moves a unit at the back wall by centimetres in depth.
  ppVector2 drawingOffset_;
  ppVector3 anchorOffset_;  // the reference's first anchor from its position, plan
  float floorHeight_ = 0.0f;
  zelvproElement* dropContainer_ = nullptr;
  ppScene dragScene_;
  std::vector<std::unique_ptr<ppScene>> dragParts_;
  struct PointLess {
    bool operator()(const ppVector3& a, const ppVector3& b) const;
  };
  std::map<ppVector3, bool, PointLess> placementCache_;
  std::map<ppVector3, Stretch, PointLess> stretchCache_;
  // The floor trials: the place under the mouse to where the drop puts the reference and whether it
  // stands.
  std::map<ppVector3, std::pair<ppVector3, bool>, PointLess> floorCache_;
  // The mouse is off the pane (the point is held at its edge); the last Move saw it so.
  bool offPane_ = false, offPaneTracked_ = false;
  Stretch stretch_;
  Stretch committedStretch_;
  zelvproElement* collidingA_ = nullptr;
  zelvproElement* collidingB_ = nullptr;
  uint32_t pressTicks_ = 0;
  std::vector<uint8_t> picture_;  // RGBA rows of the pane when the task was made, bottom row first
  int32_t pictureWidth_ = 0, pictureHeight_ = 0;
  bool pictureRestored_ = false;  // a move has put the kept picture back on the pane
  int32_t collisionRuns_ = 0;
  int32_t lastSceneUnits_ = 0;
  int32_t feedbackDraws_ = 0;
  int32_t cursorId_ = 0;
  std::unique_ptr<NearUnitIndex> near_;
};
