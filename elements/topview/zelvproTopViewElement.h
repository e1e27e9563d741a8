// The plan element of every catalogue unit: cabinets, worktops, accessories and the special units
// that derive from it. It takes its outline and 3D pieces, snap points, size, positioning rules,
// colours and options from the top-view record of one catalogue database, and is saved into and
// rebuilt from one document-module record.
//
// Colours: one colour record per colour group of the catalogue (the colour list, entry i for group
// i + 1) and a colour position, the 1-based group of the element's own colour. Options: one entry per
// option group of the record's "options", each with the unit chosen for it.
//
// Ownership: the element owns its pieces, colour list, option entries, anchor list, evaluators and
// extras; the catalogue database and the shape file are not its own. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "database/ppPropertyParameter.h"
#include "elements/base/zelvproElement.h"
#include "elements/topview/TopViewAnchor.h"
#include "elements/topview/TopViewOption.h"

class PosSheetGrid;
class TopViewRecord;
class zelvproShapeFil;

class zelvproTopViewElement : public zelvproElement {
 public:
  using Bytes = std::vector<uint8_t>;
  // Flag-word bits read here.
  static constexpr uint32_t kHasGrid = 0x80, kInGridCell = 0x200, kInsetPart = 0x2000;
  static constexpr uint32_t kNotCalculated = 0x40000;
  // Sub-item flags: the entry's flags become the child's sub-item flags word.
  static constexpr uint32_t kKeepSubItemFlags = 0x1;
  // Deviation bits of CheckSubUnits.
  static constexpr uint32_t kMoreParts = 0x1, kFewerParts = 0x2, kPartColours = 0x4, kUnmatched = 0x8;

  // A new element of top-view record `recordId`, copied from `record` (a record buffer of the
  // catalogue's top-view table, which may be the table's own: it is copied before anything else is
  // read). Outline pieces are read through `shapes`, which must belong to a catalogue database.
  zelvproTopViewElement(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
                        zelvproShapeFil& shapes);
  // An element from the current record of a document-module table. `refresh` brings the element up
  // to its catalogue's current units and geometry.
  zelvproTopViewElement(ppView* parent, ppDatafile& module, bool refresh);
  ~zelvproTopViewElement() override;

  // ---- Base operations replaced here.
  int32_t ValidateColorRecord(int32_t id, int32_t group) override { return ValidateColor(id, group); }
  int32_t GetColorRecordId(int32_t index) override;
  int32_t GetColorRecordIdClamped(int32_t index) override;
  int32_t MapTextureCode(int32_t code) override { return RoundColorCode(code); }
  uint32_t CollectBitMask(bool withChildren) override;
  void ApplyColorRecord(int32_t id, zelvDatabase* owner, int32_t mask) override;
  void SetColorRecordId(int32_t id) override;
  void SetLinkedRecord(int32_t id) override;
  void GetColorValue(Vcon::WString& out) override;
  bool DiffersFromRecord(zelvproElement* other) override;

  // ---- Operations this class adds to the element interface, in slot order. Those without a body
  // here are completed with the features they belong to.
  virtual std::unique_ptr<ppRegion> NewRegion() { return NewFrameRegion(); }
  virtual void AlignRectToReference(plat::RECT& /*rect*/) {}
  virtual void MakePlacementTransform(ppMatrix4& /*transform*/) {}
  virtual void MakeViewTransform(ppMatrix4& /*transform*/, ppView* /*view*/) {}
  virtual void FillCalculationLine(char* /*line*/) {}
  virtual void FillIncludedLine(int32_t /*first*/, int32_t /*second*/, char* /*line*/) {}
  virtual void ResizeTo(float /*width*/, float /*depth*/) {}
  virtual void ScaleSnaps(float /*fx*/, float /*fz*/) {}
  virtual void ScheduleUpdate() {}
  // The eleven grid-placement rules: each places `part` in this container's grid and answers whether
  // it found a place.
  virtual bool PlaceHorizontalPanel(zelvproTopViewElement* /*part*/) { return false; }
  virtual bool PlaceBelowHorizontalPanel(zelvproTopViewElement* /*part*/) { return false; }
  virtual bool PlaceVerticalPanel(zelvproTopViewElement* /*part*/) { return false; }
  virtual bool PlaceInCompartment(zelvproTopViewElement* /*part*/) { return false; }
  virtual bool PlaceOnPanelNearSide(zelvproTopViewElement* /*part*/) { return false; }
  virtual bool PlaceRisingToPanel(zelvproTopViewElement* /*part*/) { return false; }
  virtual bool PlaceBetweenVerticalPanels(zelvproTopViewElement* /*part*/) { return false; }
  virtual bool PlaceOnPanelBelowPanel(zelvproTopViewElement* /*part*/) { return false; }
  virtual bool PlaceAnywhere(zelvproTopViewElement* /*part*/) { return false; }
  virtual bool PlaceFirstAtOrigin(zelvproTopViewElement* /*part*/) { return false; }
  virtual bool PlaceSecondAtOrigin(zelvproTopViewElement* /*part*/) { return false; }
  virtual void WriteComponentLines(intptr_t /*file*/) {}
  // Passes the notification on to every child; parametric elements act on it.
  virtual void NotifyChildren();
  // Re-applies the element for unit `unitId`.
  virtual void ApplyAccessId(int32_t unitId, bool withSnaps);
  // Merges the element's colours into `list` (one entry per colour position): 0 where nothing is
  // known yet takes the element's colour, a differing colour becomes -1, -1 stays.
  virtual void MergeColorChoices(std::vector<int32_t>& list);
  virtual void FillOptionChoices(ppDatafile& /*units*/, int32_t /*classId*/) {}
  virtual void FillColorChoices(ppDatafile& /*colours*/, int32_t /*position*/, bool /*flag*/) {}
  virtual void SelectDepthChoices(ppDatafile& depths, bool withChildren);
  virtual std::vector<int32_t> CollectUnitChoices(bool /*all*/) { return {}; }
  // Called with each anchor record (a buffer of the unit table's anchor table) before it is copied.
  virtual void AdjustAnchorRecord(char* /*record*/) {}
  virtual bool HasFlaggedOption() { return false; }

  // ---- Colours.
  // `id` when the element does not use group `group` or the group allows it; otherwise another
  // colour the group allows, or the group's "defaultColor" when it allows none.
  int32_t ValidateColor(int32_t id, int32_t group);
  // (c rounded toward zero to a multiple of 256) + (c modulo 16).
  static int32_t RoundColorCode(int32_t c) { return c / 256 * 256 + c % 16; }

  // ---- Options.
  // One placed shape per piece entry with a shape, pushed in front of `head` in blob order (so the
  // last piece leads); x and y are truncated toward zero. Entries whose shape is gone are skipped.
  std::unique_ptr<zelvproShape> AppendPieceShapes(const Bytes& pieces, std::unique_ptr<zelvproShape> head);
  // The pieces of the chosen unit of every option in use, at each anchor of the option's class.
  std::unique_ptr<zelvproShape> AppendOptionShapes(std::unique_ptr<zelvproShape> head);
  // The chosen unit of the first option of class `classId`; -1 when there is none.
  int32_t ChosenUnitOfOption(int32_t classId) const;
  // The first option whose chosen unit has a snap entry `id`: adds that entry's point to `point` and
  // answers the option's index; -1 when none has.
  int32_t FindOptionSnap(int32_t id, ppVector3& point) const;
  // Gives each option on the snap chain from snap id 0 its offset; a chain that comes back to an
  // option already placed stops there.
  void LayOutOptions();
  void ChooseOptionUnit(int32_t classId, int32_t unitId);
  void ChooseOptionUnitAndPlaceParts(int32_t classId, int32_t unitId);
  // "class:unit" pairs of the priced options, one blank between pairs.
  void BuildOptionKey(Vcon::String& out, bool withColours);
  // Rebuilds the anchor list from the unit's anchors and those of the chosen option units.
  void BuildOptionParts();
  // The anchors of option class `classId`'s key, at least 1; 0 when the chosen unit is not allowed.
  int32_t CountOptionParts(int32_t classId);

  // ---- Calculation.
  // Whether the interior parts still match the unit's "subUnits": sets deviates and deviationBits.
  void CheckSubUnits(bool withPositions);

  // ---- Unit re-application and the configuration pass.
  virtual int32_t TopViewForDepth(int32_t unitId, int32_t depthId, bool force);
  virtual void ApplyTopViewRecord(int32_t topViewId, bool withSnaps);
  // Applies changed options and colours again; needs a canvas (without one the flag stays set).
  void RunConfigurationPass();

  // The switch that makes MergeColorChoices take in the children too (off at start).
  static void SetChildMerge(bool on);
  static bool ChildMerge();

  // Own members, in declaration order.
  Bytes outlinePieces;  // 24-byte piece entries
  Bytes pieces3D;
  uint8_t hiddenNumber = 0;
  uint8_t lockedChild = 0;
  std::unique_ptr<zelvproShape> shapes3D;
  zelvproShapeFil* shapeFile = nullptr;  // not owned
  bool printNumbers = false;
  std::unique_ptr<PosSheetGrid> gridX, gridY, gridZ;     // the panel, inset and block maps
  int32_t gridWidth = 0, gridHeight = 0, gridDepth = 0;  // the grid size in cells
  int32_t cellX = 0, cellY = 0, cellZ = 0;               // the element's cell in its container's grid
  std::vector<int32_t> colours;                          // one colour record id per colour group
  bool interiorLocked = false;
  bool createdByParent = false;
  bool noColourCode = false;
  int32_t extraWord = 0;
  int32_t positioning = 0;
  int32_t firstRecordId = 0, secondRecordId = 0;
  uint8_t builtFromCatalog = 0;
  std::vector<TopViewOption> options;
  Bytes optionRules;
  uint8_t resnapped = 0;
  uint8_t configurationChanged = 1;
  std::vector<TopViewAnchor> anchors;  // list order: the newest first
  ppPropertyParameter extraInfo[3];
  uint8_t pricedOption = 0;
  int32_t lastAppliedUnit = 0;
  uint32_t colourMask = 0;  // CollectBitMask's cache; 0 = not computed
  int32_t warningNumber = 0, warningNumberShown = 0;
  int32_t quantityRule = 0;
  Bytes extras;  // extra articles in embedded-table form; empty = none
  uint8_t sizeChanged = 0;
  uint8_t optionOffsetSet = 0;
  ppVector3 optionOffset;
  // Members the later features read and write.
  int32_t linkedRecord = 0;      // the depth record id; 0 = none
  int32_t subItemFlags = 0;      // from the "subItems" entry that made this child
  int32_t positionedWord = 0;    // bit 2: optional parts are wanted
  int32_t stepCount = 0;         // depth steps of a part in a compartment
  int32_t dropItemWord = 0;      // a top-view record id
  int32_t colourSourceWord = 0;  // a top-view record id
  uint8_t deviates = 0;
  uint32_t deviationBits = 0;
  uint8_t matched = 0;  // CheckSubUnits' scratch mark

  // ---- Saving, grid re-snap, small operations, access overrides and unit re-application.
  // Writes the base fields, then the element's own; catalogue records are named by their stored ids.
  void WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) override;
  // A part in a grid cell registers in its container's cell maps instead of snapping by anchors.
  void Resnap() override;
  // Button presses (command 5000) of the buttons 4001, 4005 and 6001 are dropped here.
  void DoCommand(int32_t command, intptr_t parameter) override;
  // The base's request rules; a changed unit is applied at once.
  void PushAccessRequest(int32_t key, int32_t level, uint32_t anchorFlags,
                         zelvproElement* neighbour) override;
  void PopAccessRequest(int32_t key, int32_t level) override;
  int32_t ResolveAccessId() override;
  // Adds the offset of cell (a, b, c) of the element's grid to `point`; without a grid nothing.
  ppVector3 GetAccessOffset(int32_t a, int32_t b, int32_t c, ppVector3& point) override;
  void CommitEdits() override {}
  int32_t LinkedRecord() override { return linkedRecord; }
  // Hands the linked depth record to every child.
  void PropagateToChildren();
  // The element, then every child depth first, applies its own linked depth record again.
  void PropagateLinkedRecord();
  // Whether this grid part lies strictly inside a compartment (mode 3, else mode 7) of its container.
  bool IsInsideCompartmentPart();
  // The unit's (or its option value's) "tname"; the element's own name without a unit.
  Vcon::WString& GetDisplayName(Vcon::WString& out, bool unitRead);
  // A copy of the unit's preview picture, which the caller frees; null when there is none.
  Handle GetUnitPreview();
  // Edits the extras in the extras dialog; nothing without an articles catalogue.
  void ShowExtrasDialog();
  // Grid placement operations called here: registering a part's box in `container`'s cell maps, and
  // the part owning a box at a cell of this container whose placement mode is `mode` (null: none).
  virtual void RegisterInGrid(zelvproTopViewElement* /*container*/) {}
  virtual zelvproTopViewElement* FindCellOwner(int32_t /*column*/, int32_t /*row*/, int32_t /*layer*/,
                                               int32_t /*mode*/) {
    return nullptr;
  }
  uint8_t applied = 0;  // ApplyAccessId has made the interior parts once
  // Fills the configurator with the element's information and colour tabs for the selection `source`.
  void BuildInfoPanel(qxViewHolder* source) override;

 private:
  // Fills what both constructors set before anything is read.
  void InitOwnMembers();
  // The element's anchors become `bytes` (36-byte snap entries, as the catalogue holds them).
  void AssignSnapBytes(const Bytes& bytes);
  // The catalogue record's fields (catalogue constructor steps).
  void ReadCatalogRecord(const TopViewRecord& record);
  void MakeColourList(int32_t colourCode);
  void MakeGrids(const TopViewRecord& record);
  void MakeChildren(const Bytes& subItems, const plat::RECT& frame);
  void MakeOptions(const Bytes& blob, bool useMemory);
  void ChooseFirstUnit(TopViewOption& option, int32_t unitId, bool useMemory);
  // Copies the "Snappoints" of the top-view record unit `unitId` links into the option.
  void CopyLinkedSnaps(TopViewOption& option, int32_t unitId);
  // The offset of an option unit when its class asks for one.
  void TakeOptionOffset(const TopViewOption& option, int32_t unitId);
  // Loaded constructor parts.
  void ReadDocumentTopView(ppDatafile& module);
  void ReadDocumentColours(ppDatafile& module);
  void RestoreOptionChoices(ppDatafile& module);
  void ReadDocumentWords(ppDatafile& module);
  void ApplyRefresh();
  // Shape chain of the outline pieces and of the 3D pieces.
  void BuildShapeChains();
  // The fallback colour of group `group`: its colour code's "defaultColor".
  int32_t DefaultColourOfGroup(int32_t group);

  // ---- Unit re-application steps.
  // Whether the element's interior parts exist already (made by ApplyAccessId or loaded).
  bool AppliedBefore() const;
  // Re-snaps the parts the user added and deletes the interior parts.
  void ReleaseInteriorParts();
  // One interior part per 28-byte "subUnits" entry.
  void MakeInteriorParts(const Bytes& subUnits);
  // Replaces the attached items by those of top-view record `topViewId`.
  void MakeAttachedItems(int32_t topViewId);
  // The depth steps of SetLinkedRecord that depend on a positioned container.
  void FollowGridContainer(zelvproTopViewElement& container);
};
