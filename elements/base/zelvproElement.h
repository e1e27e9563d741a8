// The root class of everything that lies in a plan: catalogue units, groups, worktops, doors,
// windows, wall features and the plan canvases, which are the roots of their element trees. An
// element is a view (its children are its subviews, its parent its supervisor; frames in pixels of
// the parent), an object with named properties and a 3D scene node. Positions and sizes are in
// millimetres: x and z lie in the floor plane, y is the height.
//
// Ownership: an element owns its children (through the view tree), its association links, its two
// point tables, a private geometry cache object and its embedded unit layer. A shared cache object,
// its database, its parent and the elements its links name are not its own.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "catalogue/unit3d/iUnit3DElement.h"
#include "database/iProperty.h"
#include "elements/base/ElementGeometryCache.h"
#include "foundation/DecimalNumber.h"
#include "foundation/VconString.h"
#include "foundation/Vcon_HandleManager.h"
#include "foundation/ppBounds3.h"
#include "foundation/ppMoney.h"
#include "foundation/ppVector2.h"
#include "foundation/ppVector3.h"
#include "framework/ppRegion.h"
#include "framework/ppView.h"
#include "scene3d/context/iScene.h"
#include "elements/base/SnapAnchor.h"
#include "elements/base/SnapAnchorList.h"
#include "elements/shapes/zelvproShape.h"
#include "scene3d/objects/qxUnitLayer3D.h"

class ElementGeometryCache;
class iOrderWriter;
class iScenePane;
class PartsList;
class ppConfigPanel;
class ppDC;
class ppDatafile;
class ppMatrix4;
class ppPropertyObjectList;
class ppShapePrimitive;
class ppTask;
class qxViewHolder;
class iUnitWatch;
class zelvproCanvas;
class zelvDatabase;
class zelvproElement;
struct PlanAnnotation;
struct ppRay;

using ElementList = std::vector<zelvproElement*>;

// One outline as CollectOutlines hands it out: the outline's modified points (8-byte (x, z) points,
// millimetres in the element's frame; they stay the outline's) and the element.
struct ElementOutline {
  Handle points;
  zelvproElement* element;
};
using OutlineList = std::vector<ElementOutline>;

class zelvproElement : public ppView, public iProperty, public iScene, public iUnit3DElement {
 public:
  // stateBits: the element lies in a selected subtree (the renderers highlight it).
  static constexpr uint32_t kSelectedState = 0x2;
  // The type code of every element class, canvases included: 'twel'.
  static constexpr uint32_t kTypeCode = 0x7477656C;

  // A new element of catalogue record `recordId`, framed by `frame` in its parent's pixels.
  zelvproElement(int32_t recordId, ppView* parent, const plat::RECT& frame, zelvDatabase* database,
                 int8_t horizontal, int8_t vertical);
  // An element from the current record of a document-module table; `flag` is for the subclasses.
  zelvproElement(ppView* parent, ppDatafile& module, bool flag);
  ~zelvproElement() override;

  using iProperty::Select;

  // ---- The element interface, in slot order.
  void Render(iRenderer& renderer) override { RenderScene(renderer); }
  virtual bool IsSelected() { return selected != 0; }
  virtual void Select(bool refresh);
  virtual void SelectChildrenInRect(const plat::RECT& rect);
  virtual void Deselect(bool refresh);
  // The frame in window pixels; every frame region of the element is this one.
  virtual std::unique_ptr<ppRegion> NewFrameRegion();
  virtual void UpdateAnnotationsTree(ppDC& dc);
  virtual void UpdateAnnotations(ppDC& /*dc*/) {}
  virtual void Rotate(float value);
  virtual void RotateAbout(float value, const ppVector3& pivot);
  virtual void RotateByKey(int32_t key);
  virtual void SetPosition(const ppVector3& point) {
    position = point;
    NoteSnapChange();
  }
  virtual zelvproElement* GetParentElement();
  virtual void ApplyPlacementXY(Handle /*points*/) {}
  // The corner handle (1 top left, 2 top right, 3 bottom left, 4 bottom right) under the window
  // pixel, 0 when none.
  virtual int32_t HitTestHandle(int32_t x, int32_t y);
  virtual ppTask* CreatePointerTask(ppView* /*view*/) { return nullptr; }
  virtual void UpdateFrame() {}
  virtual bool AcceptsChild(int32_t /*kind*/, zelvproElement* /*element*/) { return false; }
  // The deepest element under the window pixel that takes `element` (of `kind`) as a child; never
  // `element` itself; null when none.
  virtual zelvproElement* FindContainerFor(int32_t x, int32_t y, int32_t kind, zelvproElement* element);
  virtual int32_t GetEnumClass() { return 0; }
  // The free anchor matching `query` (a free anchor, point in this element's container frame) that
  // lies nearest, strictly nearer than `best`, among this element's anchors and its children's; the
  // anchor's owner, or null when none is nearer. On a find `best`, `index` and `out` describe it.
  // `flags`: the kSnap... search flags.
  virtual zelvproElement* NearestSnap(const SnapAnchor& query, SnapAnchor& out, float& best, int32_t& index,
                                      zelvproElement* asker, uint32_t flags);
  // Links anchor `anchorA` of `a` with anchor `anchorB` of `b` when they face each other; the caller
  // has made sure that the two points coincide.
  virtual void ConnectSnaps(zelvproElement* a, zelvproElement* b, int32_t anchorA, int32_t anchorB);
  virtual void DisconnectSnaps(zelvproElement* a, zelvproElement* b, int32_t anchorA, int32_t anchorB);
  // Breaks every link from a listed element to an element outside the list.
  virtual void ReleaseOutsideSnaps(ElementList& list);
  // A snap link hands the element `key` with priority `level`; `anchorFlags` and `neighbour` are for
  // the subclasses.
  virtual void PushAccessRequest(int32_t key, int32_t level, uint32_t anchorFlags, zelvproElement* neighbour);
  virtual void PopAccessRequest(int32_t key, int32_t level);
  // Rebuilds the element's links from the anchors of its container's tree that coincide with its own.
  virtual void Resnap();
  virtual void ResnapList(ElementList& list);
  // The absolute position of the selected child furthest left (then furthest up); unchanged without one.
  virtual void ExtentOfSelectedChildren(ppVector3& point);
  // The unit record that applies now: the catalogue record's unit for the current access key.
  virtual int32_t ResolveAccessId();
  // Turns and moves a list of 8-byte (x, z) points from this element's frame into the plan's.
  virtual void ApplyPlacementXZ(Handle points);
  // The canvas at the root of the element's tree; null when the root is not a canvas.
  virtual zelvproCanvas* GetCanvas();
  // The mouse tasks over a selection chain, made through the installed task factory; a made task
  // takes the chain over, null leaves it the caller's. In the 3D view the mover is the 3D one.
  virtual ppTask* CreateMoverTask(qxViewHolder* selection, zelvproCanvas* canvas, void* feedbackSource);
  virtual ppTask* CreateDraggerTask(qxViewHolder* selection, zelvproCanvas* canvas);
  virtual ppTask* CreateRotateTask(intptr_t a, intptr_t b);
  virtual void SetAngle(float value);
  // Holders for the selected elements (the tree below a selected one is not visited) put in front of
  // `chain`; answers the new first holder.
  virtual qxViewHolder* CollectSelection(qxViewHolder* chain, bool skipLocked);
  // Applies the editable values back after an edit; refreshes the tree and the views.
  virtual void CommitEdits();
  virtual void BuildInfoPanel(qxViewHolder* /*source*/) {}
  // An arrow key (0x25..0x28) moves a selected, free element by 5 pixels (1 with Shift).
  virtual void NudgeByKey(int32_t key);
  virtual bool Collides(zelvproElement* /*a*/, zelvproElement* /*b*/) { return false; }
  // Whether the catalogue record's "DropItems" name top-view record `id`.
  virtual bool HasCatalogEntry(int32_t id);
  virtual void AddToCalculation();
  virtual void RemoveFromCalculation();
  // The colour record the element takes for `id` in its colour group `group` (1-based).
  virtual int32_t ValidateColorRecord(int32_t id, int32_t /*group*/) { return id; }
  virtual void InvalidateGeometry() { MarkTreePendingUpdate(); }
  virtual void ResnapTree();
  int32_t GetColorRecordId(int32_t /*index*/) override { return colorRecordId; }
  virtual int32_t GetColorRecordIdClamped(int32_t /*index*/) { return colorRecordId; }
  virtual int32_t MapColorCode(int32_t code) { return code; }
  virtual int32_t IndexOfColorRecord(int32_t /*id*/, zelvDatabase* /*owner*/) { return -1; }
  virtual uint32_t CollectBitMask(bool withChildren);
  virtual void ApplyColorRecord(int32_t id, zelvDatabase* owner, int32_t flag);
  virtual void SetTagTree(int32_t value);
  // Appends this element's document-module record to `module`, then its children's, depth first.
  virtual void SaveTree(ppDatafile& module, bool renumber, int32_t parentNumber);
  virtual void DocumentLoaded(void* /*document*/) {}
  // Writes the base fields into the record buffer of `record` (a document-module table).
  virtual void WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber);
  virtual void ReadSaveId(ppDatafile& /*record*/) {}
  // Reads the record buffer as the loaded constructor does, but takes a new saveId and selects.
  virtual void LoadFromRecord(ppDatafile& record);
  virtual zelvproElement* FindById(int32_t saveNumber);
  virtual void GetOutlineSize(float& width, float& depth) { width = depth = 0.0f; }
  virtual void ExtendBounds2D(ppVector2& min, ppVector2& max);
  virtual void GetOutlineCentre(ppVector2& out);
  virtual void ExportHook(intptr_t /*value*/) {}
  virtual bool AttachAccessory(zelvproElement* /*element*/) { return false; }
  virtual void DetachAccessory(zelvproElement* element);
  virtual bool AcceptsAccessory(int32_t /*id*/) { return false; }
  virtual void AfterEdit(ppTask* /*task*/) {}
  // The held key turned through the key combination table.
  virtual int32_t GetAccessKey();
  virtual ppVector3 GetAccessOffset(int32_t /*a*/, int32_t /*b*/, int32_t /*c*/, ppVector3& point) {
    point = ppVector3();
    return point;
  }
  // Places `part` (w x h x d cells) in this container's grid at the drop `point` (plan): x, y, z and
  // `point` receive the cell and its plan point; false when the part may not stand there.
  virtual bool PlaceInGrid(int32_t& /*x*/, int32_t& /*y*/, int32_t& /*z*/, int32_t /*w*/, int32_t /*h*/,
                           int32_t /*d*/, ppVector3& /*point*/, zelvproElement* /*part*/, int32_t /*flag*/) {
    return false;
  }
  virtual void SetLinkedRecord(int32_t /*id*/) {}
  virtual float GetDepth() { return dimensions.z; }
  virtual void UpdateGroup() {}
  virtual void UpdateGroupFromTask() { UpdateGroup(); }
  // The colour record's name; empty without one.
  virtual void GetColorValue(Vcon::WString& out);
  // True when the two elements must not share a calculation line; always true while this element
  // keeps a separate line.
  virtual bool DiffersFromRecord(zelvproElement* other);
  virtual void CollectParts(PartsList& parts);
  virtual void WriteOrderModule(iOrderWriter& /*writer*/) {}
  virtual ppMoney GetTotalPrice();
  virtual ppMoney GetTotalPrice2();
  virtual void ApplyUnit(int32_t /*unitId*/, int32_t /*flag*/) {}
  virtual int32_t LookupUnit(int32_t /*id*/, int32_t /*key*/, int32_t /*flag*/) { return 0; }
  // Writes the selected children into the canvas's copy datafile for the next paste.
  virtual void SaveSelection();
  virtual void SetColorRecordId(int32_t id) { colorRecordId = id; }
  virtual void RenumberSaveIds();
  virtual void OffsetTopViewChildren(const ppVector3& vector);
  virtual void RenderScene(iRenderer& renderer);
  void GetColorByCode(ppFloat4& out, int32_t code) override;
  const ppPicture* GetTextureByCode(int32_t code) override;
  virtual void DrawSymbols(intptr_t value);
  virtual void RebuildGeometry();
  // Appends the element's dimension lines for the plan to `list`; none in the base.
  virtual void CollectDimensionLines(std::vector<PlanAnnotation>& /*list*/) {}
  virtual uint32_t GetStateBits() { return stateBits; }
  virtual ppBounds3 GetBounds(intptr_t a, int32_t flags);
  virtual int32_t GetUnitRecordId() { return unitRecordId; }

  // ---- View operations as an element has them.
  uint32_t GetTypeCode() override { return kTypeCode; }
  // The application's standard cursor.
  void AdjustCursor(int32_t x, int32_t y) override;
  // Backspace and Delete delete the selection (command 36); arrows turn it with Ctrl, else move
  // every selected, unlocked element of the canvas.
  void KeyDown(signed char key, int32_t flags) override;
  // The element commands (press on the plan, step keys, posting tasks, locks, a generated unit);
  // any other command goes to the supervisor, and is dropped at the root.
  void DoCommand(int32_t command, intptr_t parameter) override;
  // A press on the plan (window pixels): Alt first duplicates the selection; the first selected,
  // unlocked element's task then starts with the selection's outline as feedback.
  void MouseDownCommand(const plat::POINT& press);
  // Stores the elements of `list` (not taken over) as one new top-view record in the catalogue of the
  // last listed element that has one, positions relative to the least corner of their boxes.
  // Nothing when no element has a catalogue.
  void MakeGeneratedUnit(const qxViewHolder* list);
  // Holders for the elements joined to `point` (container frame, millimetres) through anchors of
  // code `key`, and on through their other anchors, put in front of `chain`; each element once.
  qxViewHolder* CollectSnapRun(qxViewHolder* chain, int32_t key, const ppVector3& point);
  void Invalidate() override;
  bool WantsDoubleClicks() override { return true; }
  // Moves in pixels move the position too: by pixels times the plan scale, or to the pixel point.
  void MoveBy(int32_t dx, int32_t dy) override;
  void MoveTo(int32_t x, int32_t y) override;
  void MoveFrameTo(int32_t x, int32_t y) override;
  // The 3D view's step commands 2201..2213 (floor plane) and 2217/2221 (up and down, 0..6000 mm).
  void Nudge3D(int32_t command);
  // ---- Selection, hit tests and clicks (the click handler that MouseDown calls is HandleClick).
  std::unique_ptr<ppRegion> GetFrameRegion() override { return NewFrameRegion(); }
  bool ContainsPoint(int32_t x, int32_t y) override;
  bool IsDoubleClick(int32_t x, int32_t y) override { return HandleClick(x, y); }
  // Selects or deselects, waits for a drag to begin and starts it; false when the click belongs to
  // another kind of view.
  bool HandleClick(int32_t x, int32_t y);
  // The child's position in the child list, -1 when it is none of them.
  int32_t IndexOfSubview(ppView* view) const { return Subviews().Find(view); }
  // Holders for every element not locked (when skipping locked ones) in front of `chain`; the tree
  // below a taken element is not visited.
  qxViewHolder* CollectEditable(qxViewHolder* chain, bool skipLocked);
  // Holders for every element of the tree that is not in `filter` (may be null), in front of `chain`.
  qxViewHolder* CollectTree(qxViewHolder* chain, qxViewHolder* filter);
  // The element's outlines, each put in front of `list`.
  OutlineList& CollectOutlines(OutlineList& list);
  // The children's property parts, in child order.
  std::unique_ptr<ppPropertyObjectList> MakeChildPropertyList();

  // ---- What the unit layers and the unit assembly ask.
  uint32_t GetRenderFlags() override { return GetStateBits(); }
  zelvDatabase* GetDatabase() override { return database; }
  uint32_t GetFlags() override { return flags; }

  // ---- Tree operations: on the element, then on every child in subview order.
  void InvalidateTree();
  void MarkTreeNeedsRedraw();
  void MarkTreePendingUpdate();
  // Clears the mark and the placement-warning number (ClearWarning) of the whole tree.
  void ClearTreeMark();
  // Forgets the element's placement-warning number; elements without one have nothing to forget.
  virtual void ClearWarning() {}
  void SetStateBitsTree(uint32_t bits);
  void ClearStateBitsTree(uint32_t bits);
  void LockTree();
  void UnlockTree();
  // Every element of the tree, this one first, depth first.
  void CollectTree(ElementList& out);

  // ---- Redraw: elements add their frames to one pending region, which one call hands over.
  // Processes the tree's pending redraws and marks the pane's scene out of date when it found one.
  static void ProcessPendingRedraws(zelvproElement* root, iScenePane* pane, bool redraw);
  // Ends an edit: the two plan roots are processed, then the 3D pane or the plan editor repaints.
  static void InvalidateElement(iScenePane* pane, bool redraw);
  // Only the plan's part of that ending: outside the 3D view, the pending region goes to the plan
  // editor, which repaints it; the plan roots and the 3D pane are left as they are.
  static void RedrawPlan();
  // While muted (document loading, numbering) InvalidateElement does nothing.
  static void SetMuted(bool muted);
  static bool IsMuted();
  // The pending region (window coordinates), or null. Owned by the redraw protocol.
  static ppRegion* PendingRegion();
  // Unmutes and forgets the pending region (the run's reset).
  static void ResetRedraw();

  // Without a colour record the element takes its catalogue's current colour, then rebuilds.
  void EnsureColorRecord();

  // Makes every part ask again for the colours and textures of its layers' colour codes (the
  // texture names the parts kept are forgotten).
  void RefreshPartColours();

  // ---- Placement: position (millimetres) and angle (radians, about y) relative to the container.
  ppVector3 GetPosition() const { return position; }
  float GetAngle() const { return angle; }
  void StoreAngle(float value) {
    angle = value;
    NoteSnapChange();
  }
  ppVector3 GetAnchorOffset() const { return anchor; }
  void SetAnchorOffset(const ppVector3& value) { anchor = value; }
  // The supervisor when it is an element (by type code), else null.
  zelvproElement* ContainerElement() const;
  // In plan coordinates: the containers' placements applied in turn.
  void GetAbsolutePosition(ppVector3& out) const;
  float GetAbsoluteAngle() const;
  // At the root the angle is brought into [0, 2pi] and stored; below it, the sum of the chain.
  float GetNormalizedAngle();
  // Local -> container (translation, then the turn by minus the angle about y).
  void BuildPlacementMatrix(ppMatrix4& out) const;
  // Local -> root of the element tree.
  void BuildWorldMatrix(ppMatrix4& out) const;
  // One level: element frame <-> container frame, in place.
  void LocalToWorld(ppVector3& point) const;
  void WorldToLocal(ppVector3& point) const;
  // A point (x, z) of this element's frame into plan coordinates.
  void ApplyPlacement2D(ppVector2& point) const;
  // The absolute position in top-view pixels.
  void GetScreenPosition(plat::POINT& out) const;
  // The position becomes the plan point of the pixel (no SetPosition call).
  void SetPositionFromScreen(int32_t x, int32_t y);
  // x and z from pixels times the plan scale, without the origin; y kept; through SetPosition.
  void SetPlanXZFromPixels(int32_t x, int32_t y);
  // Calls fn(points) for each outline with its modified points (cached on the outline; the handle
  // stays the outline's).
  template <typename Fn>
  void ForEachOutline(Fn fn) {
    for (zelvproShape* shape = outlines.get(); shape != nullptr; shape = shape->next.get()) {
      if (shape->cached == nullptr) shape->cached = shape->ModifiedPoints();
      fn(shape->cached);
    }
  }

  int32_t GetSaveId() const { return saveId; }

  // ---- What the price list reads and writes of an element, by name. The price list never touches
  // the members behind these directly.
  // The price list may edit this element's quantity (its line's quantity is copied into the
  // element) and delete the element from its line.
  bool QuantityEditable() const { return auxFlag != 0; }
  void SetQuantityEditable(bool on) { auxFlag = on ? 1 : 0; }
  // The price list's panel of a line of this element, when QuantityEditable: adds the element's own
  // fields to `panel` (owned by the panel once added), where the line's options text would stand;
  // `line` is the line table positioned on the element's line. Nothing by default.
  virtual void AddCalculationFields(ppConfigPanel& /*panel*/, iProperty& /*line*/) {}
  // The element never shares a calculation line with another element.
  bool SeparateLine() const { return auxByte != 0; }
  void SetSeparateLine(bool on) { auxByte = on ? 1 : 0; }
  // The number of pieces the element stands for (1 after construction).
  const DecimalNumber& ElementQuantity() const { return quantity; }
  void SetElementQuantity(const DecimalNumber& pieces) { quantity = pieces; }
  // The element's own discount: a whole percentage and an amount (both 0 after construction).
  int32_t DiscountPercent() const { return auxWordA; }
  void SetDiscountPercent(int32_t percent) { auxWordA = percent; }
  ppMoney DiscountAmount() const { return auxAmountB; }
  void SetDiscountAmount(ppMoney amount) { auxAmountB = amount; }
  // The element's own line text (narrow; empty after construction).
  const Vcon::String& LineText() const { return textB; }
  void SetLineText(const Vcon::String& text) { textB = text; }
  // The status-flag word the price list marks lines by: its low 16 bits (the warning number) and
  // bit 16.
  int32_t StatusFlags() const { return mark; }
  // The size value the printed price list shows divided by 10: the element's height value.
  float SizeValue() const { return height; }
  // The same value read as the catalogue gives it: the height above the floor, in millimetres, at
  // which a unit taken from the catalogue stands (a wall unit hangs, a base unit stands on its plinth).
  float HeightAboveFloor() const { return height; }
  // Association links: the elements are not owned, the links are. One link per element.
  void AddAssociate(zelvproElement* element);
  void RemoveAssociate(zelvproElement* element);
  // The first link (link-only holders chained through Next()), null when none.
  qxViewHolder* Associates() const { return associates; }
  // Drops the cache pointer; a private cache object is deleted, a shared one stays in its map.
  void DropCachedObject();
  void SetCachedObject(ElementGeometryCache* cache) { DropCachedObject(), cachedObject = cache; }
  ElementGeometryCache* CachedObject() const { return cachedObject; }
  qxUnitLayer3D& UnitLayer() { return unitLayer; }

  // ---- Snap anchors and access requests.
  // NearestSnap's search flags: measure in 3D (else in the floor plane); leave out anchors flagged
  // SnapAnchor::kSkippable; a flag handed on to the elements searched.
  static constexpr uint32_t kSnap3D = 0x1;
  static constexpr uint32_t kSnapSkipFlagged = 0x2;
  static constexpr uint32_t kSnapPassOn = 0x4;
  int32_t GetPointCount() const { return int32_t(snapPoints.size()); }
  // Tells the snap index of the canvas at the root of the element's tree (if it keeps one) that
  // the element's anchors may lie elsewhere now: its position, angle, anchors or children changed.
  // The setters, the anchor list's changing accesses and the child list's changes call it; code that
  // writes position or angle directly calls it too. Cheap: the index only notes the change.
  void NoteSnapChange();
  // Whether anchor `index` answers a search for `query` under `flags` (matching code, free, not
  // skipped, not excluded by the current unit), and how far it lies; as NearestSnap measures.
  bool OffersAnchor(int32_t index, const SnapAnchor& query, uint32_t flags) const;
  float AnchorDistance(int32_t index, const SnapAnchor& query, zelvproElement* asker, uint32_t flags) const;
  // The child list's changes reach the snap index (NoteSnapChange).
  void AddSubview(ppView* view) override;
  void InsertSubview(ppView* view, int32_t index) override;
  void RemoveSubview(ppView* view) override;
  // A copy of anchor `index`; false (and `out` untouched) for an index out of range.
  bool GetPointEntry(int32_t index, SnapAnchor& out) const;
  // One side of a link: anchor `index` names `partner`; with `giveRequest` the anchor's code and
  // level become an access request; an anchor flagged kMoveBeside moves the element next to the
  // partner and into its association list. An index out of range does nothing.
  void SetSnapLink(int32_t index, zelvproElement* partner, bool giveRequest);
  // Undoes SetSnapLink's side: the anchor is freed and its request withdrawn.
  void ClearSnapLink(int32_t index, zelvproElement* partner);
  // True when an anchor of `code` has a partner.
  static bool HasLinkedAnchor(int32_t code, const std::vector<SnapAnchor>& anchors);
  // The code and level of the first linked anchor that gives a request; 0 and 0 when none.
  static int32_t FirstLinkedAnchor(const std::vector<SnapAnchor>& anchors, int32_t& level);
  // `key` turned by each entry of the key combination table in turn.
  int32_t ResolveAccessKey(int32_t key);
  // The held request's side of a push and a pop: a request of a higher level replaces the held one;
  // a popped request that names the held one (by its key or the key it turned into) falls back to
  // the first linked anchor's.
  void HoldAccessRequest(int32_t key, int32_t level);
  void ReleaseAccessRequest(int32_t key, int32_t level);
  int32_t GetHeldAccessKey() const { return currcat; }
  // The record linked to the element, passed on by anchors flagged kTakesLinkedRecord; the base
  // has none (0). Catalogue elements answer theirs.
  virtual int32_t LinkedRecord() { return 0; }
  // The key the held request came with, before the combination table turned it into currcat.
  int32_t heldRequestKey = 0;

  // Members, in the order of the saved document's fields where they have one.
  int32_t kind = 0;
  int32_t canvasType = 0;  // 0: the plan view; 1: the views 2004 and 2020
  int32_t dropType = 0;
  ppMoney price;
  int64_t auxAmountA = 0;
  int32_t auxWordA = 0;
  ppMoney auxAmountB = ppMoney::FromRaw(0);  // the discount amount: 0, not "no value"
  uint8_t customPriceSet = 0;
  int32_t under = 0;
  ppVector3 auxPoint;
  uint8_t auxFlag = 0;
  uint32_t motionFlags = 0;  // bit 2: moves up and down in the 3D view
  uint8_t changed = 0;       // cached 3D data must be rebuilt
  uint8_t needsRedraw = 0;
  uint8_t pendingUpdate = 0;
  DecimalNumber quantity;
  uint8_t loadedFromDocument = 0;
  int32_t lockedChildBits = 0;
  uint8_t auxByte = 0;
  Vcon::String textA;
  uint32_t lastClickTime = 0;  // ticks of 1/60 second
  ppBounds3 boundsA, boundsB;
  uint32_t stateBits = 0;
  Vcon::String textB;
  SnapAnchorList snapPoints{this};
  std::vector<int32_t> keyCombinations;  // {code a, code b, resulting key} triples
  uint8_t selected = 0;
  int32_t recordId = 0;  // in the database's top-view file
  ppVector3 position;
  ppVector3 anchor;  // y always 0
  float angle = 0.0f;
  std::unique_ptr<zelvproShape> outlines;  // the outline chain; filled by the subclasses
  uint8_t locked = 0;
  uint8_t calculate = 0;
  uint8_t interiorLock = 1;
  zelvDatabase* database = nullptr;  // not owned
  int32_t colorRecordId = 0;
  int32_t currcat = 0;
  int32_t curref = 0;
  int32_t saveId = 0;
  int32_t unitRecordId = 0;
  uint8_t lockUnits = 0;
  int32_t tag = 0;
  float height = 0.0f;
  int32_t auxWordB = 0;
  ppVector3 dimensions;  // width, height, depth
  uint32_t flags = 0;    // catalogue flag word
  int32_t auxWordC = 0;
  uint8_t unrealUnit = 0;
  int32_t extraA = 0;  // the 1-based colour group of the element's own colour
  ppVector3 pointA, pointB;
  int32_t mark = 0;
  int32_t auxWordD = 0;
  std::vector<int32_t> excludes;
  std::vector<intptr_t> childList;

  // ---- Worktops.
  // The element's worktop step from the current run `run`: answers the run to continue with. Only
  // catalogue units build worktops; the base keeps the run.
  virtual zelvproElement* BuildWorktopStep(zelvproElement* run) { return run; }

  // ---- After a move or a drop: the mover tasks call AfterMove on every element they moved, the
  // dragger tasks AfterPlace on every element they dropped. Groups that dissolve on placement act.
  virtual void AfterMove() {}
  virtual void AfterPlace() { AfterMove(); }

 protected:
  // NearestSnap's part for the element's own anchors, before its children's.
  zelvproElement* NearestOwnSnap(const SnapAnchor& query, SnapAnchor& out, float& best, int32_t& index,
                                 zelvproElement* asker, uint32_t flags);
  // A canvas that keeps indexes of its tree (snap anchors, footprints) hands their watcher here, so
  // that the notices of its tree reach them; null otherwise. Not owned.
  void WatchSnaps(iUnitWatch* watch) { snapWatch_ = watch; }

 private:
  iUnitWatch* snapWatch_ = nullptr;
  void InitCommon();
  void ReadRecord(ppDatafile& module);
  // The fields LoadFromRecord and the loaded constructor share.
  void ReadPlacementFields(ppDatafile& module);
  // The colour record a code's group names: -1 the element's own, else GetColorRecordId(group).
  int32_t ColorRecordOfGroup(int32_t group);
  // Deletes the children, then frees the partners' anchors that name this element and leaves
  // their association lists; calls no virtual operation of a partner.
  void UnlinkBeforeDeletion();

  qxViewHolder* associates = nullptr;            // owned chain of link-only holders
  ElementGeometryCache* cachedObject = nullptr;  // owned only when private
  qxUnitLayer3D unitLayer;

  // ---- Geometry: the state word, the parts drawn from the cache object, boxes and picking.
 public:
  void SetStateBits(uint32_t bits) { stateBits |= bits; }
  void ClearStateBits(uint32_t bits) { stateBits &= ~bits; }
  // The parts of the cache object this element draws, in order; rebuilt by RebuildGeometry.
  const std::deque<ElementGeometryCache::Part>& Parts() const { return parts_; }
  // The plan figure of the outlines, in outline order; rebuilt by RebuildGeometry.
  const ppShape2D& Shape2D() const { return shape2D_; }
  // The picking name this element loads while it draws (its saveId).
  uint32_t PickName() const { return uint32_t(saveId); }
  // The nearest face of the parts that `segment` (origin and direction, in the container's frame)
  // meets; `hit` and `surface` in the container's frame. False when it meets none.
  bool HitTestSegment(const ppRay& segment, ppVector3& hit, ppShapePrimitive& surface);

  // ---- Parts that subclasses add after the rebuild (the 3D units of options).
  void AppendPart(ElementGeometryCache::Part part) { parts_.push_back(std::move(part)); }
  // Elements that build their own geometry instead of the catalogue unit's start from no parts.
  void ClearParts() { parts_.clear(); }

 private:
  std::deque<ElementGeometryCache::Part> parts_;
  ppShape2D shape2D_;
};
