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
#include <memory>
#include <vector>

#include "catalogue/unit3d/iUnit3DElement.h"
#include "database/iProperty.h"
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
#include "elements/shapes/zelvproShape.h"
#include "scene3d/objects/qxUnitLayer3D.h"

class ElementGeometryCache;
class iScenePane;
class ppDC;
class ppDatafile;
class ppMatrix4;
class ppTask;
class zelvproCanvas;
class zelvDatabase;
class zelvproElement;

using ElementList = std::vector<zelvproElement*>;

class zelvproElement : public ppView, public iProperty, public iScene, public iUnit3DElement {
 public:
  // stateBits: the element is selected (the unit layer's render flags carry it).
  static constexpr uint32_t kSelectedState = 0x4;
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
  virtual void Select(bool /*refresh*/) {}
  virtual void SelectChildrenInRect(const plat::RECT& /*rect*/) {}
  virtual void Deselect(bool /*refresh*/) {}
  virtual std::unique_ptr<ppRegion> NewFrameRegion() { return nullptr; }
  virtual void UpdateAnnotationsTree(ppDC& dc);
  virtual void UpdateAnnotations(ppDC& /*dc*/) {}
  virtual void Rotate(float /*angle*/) {}
  virtual void RotateAbout(float /*angle*/, const ppVector3& /*pivot*/) {}
  virtual void RotateByKey(int32_t /*key*/) {}
  virtual void SetPosition(const ppVector3& point) { position = point; }
  virtual zelvproElement* GetParentElement();
  virtual void ApplyPlacementXY(Handle /*points*/) {}
  virtual int32_t HitTestHandle(int32_t /*x*/, int32_t /*y*/) { return 0; }
  virtual ppTask* CreatePointerTask(ppView* /*view*/) { return nullptr; }
  virtual void UpdateFrame() {}
  virtual bool AcceptsChild(int32_t /*kind*/, zelvproElement* /*element*/) { return false; }
  virtual zelvproElement* FindContainerFor(int32_t /*x*/, int32_t /*y*/, int32_t /*kind*/,
                                           zelvproElement* /*e*/) {
    return nullptr;
  }
  virtual int32_t GetEnumClass() { return 0; }
  virtual void NearestSnap(const ppVector3& /*point*/, ppVector3& /*snap*/, float& /*distance*/,
                           int32_t& /*anchor*/, zelvproElement*& /*element*/, uint32_t /*flags*/) {}
  virtual void ConnectSnaps(zelvproElement* /*a*/, zelvproElement* /*b*/, int32_t /*anchorA*/,
                            int32_t /*anchorB*/) {}
  virtual void DisconnectSnaps(zelvproElement* /*a*/, zelvproElement* /*b*/, int32_t /*anchorA*/,
                               int32_t /*anchorB*/) {}
  virtual void ReleaseOutsideSnaps(ElementList& /*list*/) {}
  virtual void PushAccessRequest(int32_t /*key*/, int32_t /*level*/, zelvproElement* /*element*/) {}
  virtual void PopAccessRequest(int32_t /*key*/, int32_t /*level*/) {}
  virtual void Resnap() {}
  virtual void ResnapList(ElementList& /*list*/) {}
  virtual void ExtentOfSelectedChildren(ppVector3& /*point*/) {}
  virtual int32_t ResolveAccessId() { return 0; }
  // Turns and moves a list of 8-byte (x, z) points from this element's frame into the plan's.
  virtual void ApplyPlacementXZ(Handle points);
  // The canvas at the root of the element's tree; null when the root is not a canvas.
  virtual zelvproCanvas* GetCanvas();
  virtual ppTask* CreateMoverTask(ElementList& /*selection*/, zelvproElement* /*canvas*/, int32_t /*third*/) {
    return nullptr;
  }
  virtual ppTask* CreateDraggerTask(ElementList& /*selection*/, zelvproElement* /*canvas*/) {
    return nullptr;
  }
  virtual ppTask* CreateRotateTask(intptr_t /*a*/, intptr_t /*b*/) { return nullptr; }
  virtual void SetAngle(float value) { angle = value; }
  virtual ElementList& CollectSelection(ElementList& list, bool /*skipLocked*/) { return list; }
  virtual void CommitEdits() {}
  virtual void BuildInfoPanel(ppView* /*pane*/) {}
  virtual void NudgeByKey(int32_t /*key*/) {}
  virtual bool Collides(zelvproElement* /*a*/, zelvproElement* /*b*/) { return false; }
  virtual bool HasCatalogEntry(int32_t /*key*/) { return false; }
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
  virtual void ExtendBounds2D(ppVector2& /*min*/, ppVector2& /*max*/) {}
  virtual void GetOutlineCentre(ppVector2& out) { out = ppVector2(); }
  virtual void ExportHook(intptr_t /*value*/) {}
  virtual bool AttachAccessory(zelvproElement* /*element*/) { return false; }
  virtual void DetachAccessory(zelvproElement* element);
  virtual bool AcceptsAccessory(int32_t /*id*/) { return false; }
  virtual void AfterEdit(ppTask* /*task*/) {}
  virtual int32_t GetAccessKey() { return 0; }
  virtual ppVector3 GetAccessOffset(int32_t /*a*/, int32_t /*b*/, int32_t /*c*/, ppVector3& point) {
    point = ppVector3();
    return point;
  }
  virtual bool PlaceInGrid(float /*x*/, float /*y*/, float /*z*/, float /*w*/, float /*h*/, float /*d*/,
                           ppVector3& /*point*/, intptr_t /*part*/, int32_t /*flag*/) {
    return false;
  }
  virtual void SetLinkedRecord(int32_t /*id*/) {}
  virtual float GetDepth() { return dimensions.z; }
  virtual void UpdateGroup() {}
  virtual void UpdateGroupFromTask() { UpdateGroup(); }
  // The colour record's name; empty without one.
  virtual void GetColorValue(Vcon::WString& out);
  virtual bool DiffersFromRecord(zelvproElement* other);
  virtual void CollectParts(std::vector<intptr_t>& parts);
  virtual void WriteOrderModule(intptr_t /*writer*/) {}
  virtual ppMoney GetTotalPrice();
  virtual ppMoney GetTotalPrice2();
  virtual void ApplyUnit(int32_t /*unitId*/, int32_t /*flag*/) {}
  virtual int32_t LookupUnit(int32_t /*id*/, int32_t /*key*/, int32_t /*flag*/) { return 0; }
  virtual void SaveSelection() {}
  virtual void SetColorRecordId(int32_t id) { colorRecordId = id; }
  virtual void RenumberSaveIds();
  virtual void OffsetTopViewChildren(const ppVector3& /*vector*/) {}
  virtual void RenderScene(iRenderer& /*renderer*/) {}
  void GetColorByCode(ppFloat4& out, int32_t code) override;
  const ppPicture* GetTextureByCode(int32_t code) override;
  virtual void DrawSymbols(intptr_t value);
  virtual void RebuildGeometry() {}
  virtual uint32_t GetStateBits() { return stateBits; }
  virtual ppBounds3 GetBounds(intptr_t /*a*/, int32_t /*flags*/) { return ppBounds3(); }
  virtual int32_t GetUnitRecordId() { return unitRecordId; }

  // ---- View operations as an element has them.
  uint32_t GetTypeCode() override { return kTypeCode; }
  void Invalidate() override;
  bool WantsDoubleClicks() override { return true; }

  // ---- What the unit layers and the unit assembly ask.
  uint32_t GetRenderFlags() override { return GetStateBits(); }
  zelvDatabase* GetDatabase() override { return database; }
  uint32_t GetFlags() override { return flags; }

  // ---- Tree operations: on the element, then on every child in subview order.
  void InvalidateTree();
  void MarkTreeNeedsRedraw();
  void MarkTreePendingUpdate();
  void ClearTreeMark();
  void SetStateBitsTree(uint32_t bits);
  void LockTree();
  void UnlockTree();
  // Every element of the tree, this one first, depth first.
  void CollectTree(ElementList& out);

  // ---- Redraw: elements add their frames to one pending region, which one call hands over.
  // Processes the tree's pending redraws and marks the pane's scene out of date when it found one.
  static void ProcessPendingRedraws(zelvproElement* root, iScenePane* pane, bool redraw);
  // Ends an edit: the two plan roots are processed, then the 3D pane or the plan editor repaints.
  static void InvalidateElement(iScenePane* pane, bool redraw);
  // While muted (document loading, numbering) InvalidateElement does nothing.
  static void SetMuted(bool muted);
  static bool IsMuted();
  // The pending region (window coordinates), or null. Owned by the redraw protocol.
  static ppRegion* PendingRegion();
  // Unmutes and forgets the pending region (the run's reset).
  static void ResetRedraw();

  // Without a colour record the element takes its catalogue's current colour, then rebuilds.
  void EnsureColorRecord();

  // The colour code's colour record as this element chooses it (group -1: its own).
  void RefreshPartColours();

  // ---- Placement: position (millimetres) and angle (radians, about y) relative to the container.
  ppVector3 GetPosition() const { return position; }
  float GetAngle() const { return angle; }
  void StoreAngle(float value) { angle = value; }
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
  // Association links: the elements are not owned, the links are.
  void AddAssociate(zelvproElement* element) { associates.push_back(element); }
  const ElementList& Associates() const { return associates; }
  // Drops the cache pointer; a private cache object is deleted, a shared one stays in its map.
  void DropCachedObject();
  void SetCachedObject(ElementGeometryCache* cache) { DropCachedObject(), cachedObject = cache; }
  ElementGeometryCache* CachedObject() const { return cachedObject; }
  qxUnitLayer3D& UnitLayer() { return unitLayer; }

  // Members, in the order of the saved document's fields where they have one.
  int32_t kind = 0;
  int32_t canvasType = 0;  // 0: the plan view; 1: the views 2004 and 2020
  int32_t dropType = 0;
  ppMoney price;
  int64_t auxAmountA = 0;
  int32_t auxWordA = 0;
  ppMoney auxAmountB;
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
  std::vector<uint8_t> snapPoints;       // 36-byte snap entries
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

 private:
  void InitCommon();
  void ReadRecord(ppDatafile& module);
  // The fields LoadFromRecord and the loaded constructor share.
  void ReadPlacementFields(ppDatafile& module);
  // The colour record a code's group names: -1 the element's own, else GetColorRecordId(group).
  int32_t ColorRecordOfGroup(int32_t group);

  ElementList associates;                        // the links are owned, the elements not
  ElementGeometryCache* cachedObject = nullptr;  // owned only when private
  qxUnitLayer3D unitLayer;
};
