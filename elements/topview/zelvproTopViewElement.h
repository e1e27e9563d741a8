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
#include <set>
#include <vector>

#include "database/ppPropertyParameter.h"
#include "elements/base/PlanAnnotation.h"
#include "elements/base/zelvproElement.h"
#include "elements/topview/GridDrop.h"
#include "elements/topview/TopViewAnchor.h"
#include "elements/topview/TopViewOption.h"

class PlanToPixels;
class PosSheetCell;

class CalculationLine;
class ppFileSpec;
class PosSheetGrid;
class TopViewRecord;
class zelvproShapeFil;
struct PrintPageFields;
struct ppRGBColor;

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
  virtual void AlignRectToReference(plat::RECT& rect);
  virtual void MakePlacementTransform(ppMatrix4& transform);
  virtual void MakeViewTransform(ppMatrix4& transform, ppView* view);
  virtual void FillCalculationLine(CalculationLine& line);
  virtual void FillIncludedLine(int32_t first, int32_t second, CalculationLine& line);
  virtual void ResizeTo(float width, float depth);
  virtual void ScaleSnaps(float fx, float fz);
  virtual void ScheduleUpdate() {}
  // The points of one of the unit's own pieces where the element draws and hits it (element frame,
  // millimetres); the caller owns the handle. A made-to-measure element stretches them as it does
  // its outlines.
  virtual Handle UnitPiecePoints(const zelvproShape& piece);
  // The eleven grid-placement rules: each slides the clamped cell (x, y, z) of `part` (w x h x d
  // cells) to a legal place in this container's grid and answers whether the part may stand there.
  // The drop's point and flag are handed through unused.
  virtual bool PlaceHorizontalPanel(GridDrop& drop);
  virtual bool PlaceBelowHorizontalPanel(GridDrop& drop);
  virtual bool PlaceVerticalPanel(GridDrop& drop);
  virtual bool PlaceInCompartment(GridDrop& drop);
  virtual bool PlaceOnPanelNearSide(GridDrop& drop);
  virtual bool PlaceRisingToPanel(GridDrop& drop);
  virtual bool PlaceBetweenVerticalPanels(GridDrop& drop);
  virtual bool PlaceOnPanelBelowPanel(GridDrop& drop);
  virtual bool PlaceAnywhere(GridDrop& drop);
  virtual bool PlaceFirstAtOrigin(GridDrop& drop);
  virtual bool PlaceSecondAtOrigin(GridDrop& drop);
  virtual void WriteComponentLines(iOrderWriter& writer);
  // Passes the notification on to every child; parametric elements act on it.
  virtual void NotifyChildren();
  // Re-applies the element for unit `unitId`.
  virtual void ApplyAccessId(int32_t unitId, bool withSnaps);
  // Merges the element's colours into `list` (one entry per colour position): 0 where nothing is
  // known yet takes the element's colour, a differing colour becomes -1, -1 stays.
  virtual void MergeColorChoices(std::vector<int32_t>& list);
  // Leaves in `units`' selection the units option class `classId` may choose (nothing changes when
  // no option has that class); the answer is kept in the option until its changed flag is set.
  virtual void FillOptionChoices(ppDatafile& units, int32_t classId);
  // Leaves in `colours`' selection the colours allowed at colour position `position` (from 1), with
  // those the children allow when `withChildren`; nothing changes without a unit.
  virtual void FillColorChoices(ppDatafile& colours, int32_t position, bool withChildren);
  virtual void SelectDepthChoices(ppDatafile& depths, bool withChildren);
  // The units of the top-view record's "Units" without repeats, in record order: all of them, or
  // (`all` false, or the record's flags have 0x800000) those whose second word is 0.
  virtual std::vector<int32_t> CollectUnitChoices(bool all);
  // Called with each anchor record (a buffer of the unit table's anchor table) before it is copied.
  virtual void AdjustAnchorRecord(char* /*record*/) {}
  // Whether an option whose class "flags" has kWarningClass has an option key among the placement-
  // warning options (SetWarningOptions); false while none are set.
  virtual bool HasFlaggedOption();
  void ClearWarning() override { warningNumber = 0; }
  // Class "flags" bit: the option's parts take part in placement warnings (their layers get 0x40).
  static constexpr uint32_t kWarningClass = 0x2000;
  // The option numbers the placement-warning rules name; not owned, null for none. The application
  // hands them down once its rules are read. User-interface thread.
  static void SetWarningOptions(const std::set<uint32_t>* options);

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
  virtual void RunConfigurationPass();

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

  // ---- Plan drawing, printing and the drawing export.
  // The outlines filled with the colour's textures (0x403 without a unit) and edged with 0x400
  // (0x402 when selected); in the outline-only style the unit's pieces are edged with 0x401.
  void DrawContent(ppDC& dc) override;
  // The outlines on a printed page; while a DXF dump runs they also form the element's block.
  void PrintContent(ppDC& dc, int32_t page) override;
  // XOR feedback of the outlines moved by (x, y) pixels; drawn twice it leaves no trace.
  void DrawOutlineAt(int32_t x, int32_t y, float angle, float pivotX, float pivotY, ppDC& dc) override;
  void UpdateAnnotations(ppDC& dc) override { DrawNumberLabel(dc); }
  // The number ("EnumNumber") in a white 20 by 16 pixel box framed in black, when it is above 0 and
  // the application shows number labels.
  void DrawNumberLabel(ppDC& dc);
  bool ShowsNumberLabel();
  // The label's box in window pixels.
  plat::RECT NumberLabelBox();

  // ---- Grid placement, outline geometry and the configuration pass.
  // Flag-word bit of a panel (its box goes to the container's panel map).
  static constexpr uint32_t kPanel = 0x1000;
  // Box kinds of RegisterCell: a panel, an inset part, any other part.
  static constexpr int32_t kPanelBox = 1, kInsetBox = 2, kBlockBox = 4;
  // Snap-entry flag: the entry follows the configuration (the anchor of its snap id places it).
  static constexpr uint32_t kFollowsConfiguration = 0x200;
  bool PlaceInGrid(int32_t& x, int32_t& y, int32_t& z, int32_t w, int32_t h, int32_t d, ppVector3& point,
                   zelvproElement* part, int32_t flag) override;
  // Puts this part's box (its cell, its grid size) into `container`'s map of the part's kind.
  virtual void RegisterInGrid(zelvproTopViewElement* container);
  // Removes `part`'s box from this container's map of the part's kind; nothing when there is none.
  void UnregisterFromGrid(zelvproTopViewElement* part);
  // The box of `part` in the map of `kind` (kPanelBox, kInsetBox, kBlockBox); one box per part.
  void RegisterCell(zelvproTopViewElement* part, int32_t x, int32_t y, int32_t z, int32_t w, int32_t h,
                    int32_t d, int32_t kind);
  void UnregisterCell(zelvproTopViewElement* part, int32_t kind);
  // The cell map of `kind`; null when the element is no container.
  PosSheetGrid* MapOfKind(int32_t kind) const;
  static int32_t BoxKindOf(uint32_t flagWord);

  // Outline size over the own points of every outline (millimetres); 0, 0 without points.
  void GetOutlineSize(float& width, float& depth) override;
  // A plan-to-pixel mapping for MakeViewTransform: plan millimetres per pixel, the plan point
  // (x, z) that lands on the offset pixel, and that pixel.
  struct ViewMapping {
    double millimetresPerPixel = 1.0;
    double originX = 0.0, originZ = 0.0;
    double offsetX = 0.0, offsetY = 0.0;
  };
  // The top view's mapping: the plan scale, the plan origin on the canvas's pixel origin.
  static ViewMapping ScreenMapping();
  // Outline points (element frame, (x, z) as the matrix's x and y) to the mapping's pixels.
  void MakeViewTransform(ppMatrix4& transform, const ViewMapping& view);
  // The frame moved so that its top-left corner lies on the reference point; then FrameChanged.
  void UpdateFrame() override;
  void AppendChildrenTo(ppViewList& list);
  // True for kind -1, else when the item's "DropItems" name `element`'s top-view record.
  bool AcceptsChild(int32_t kind, zelvproElement* element) override;
  // Whether the item offers depth record `id` (an item without a depth list offers every one).
  bool AcceptsDepth(int32_t id);
  // `id`, or the deepest depth of the unit's "depths" below the depth of `id` (else the first).
  int32_t NearestAllowedDepth(int32_t id);
  // On a container: whether a child other than `element` stands at exactly its absolute position
  // and normalised angle. `other` is not read.
  bool Collides(zelvproElement* element, zelvproElement* other) override;
  // The region of the outlines in window pixels, with the children's.
  std::unique_ptr<ppRegion> NewFrameRegion() override;
  int32_t GetCatalogId() const { return unitRecordId != 0 ? unitRecordId : lastAppliedUnit; }
  int32_t GetUnitRecordId() override { return GetCatalogId(); }
  void InvalidateGeometry() override;
  // Attached parts leave their container's grid; the others lose their links to outside elements.
  void ReleaseOutsideSnaps(ElementList& list) override;
  // The base rebuild, then one part per anchor of each option in use (its chosen unit's 3D object).
  void RebuildGeometry() override;
  // Nothing is ever dropped onto a top-view element.
  bool CanAcceptDrop(int32_t /*x*/, int32_t /*y*/, const std::string& /*data*/) override { return false; }
  void AcceptDrop(int32_t /*x*/, int32_t /*y*/, const std::string& /*data*/) override {}
  // Set once the first InvalidateGeometry applied the access id (a loaded element counts as applied).
  uint8_t accessApplied = 0;

  // ---- Colour and option configuration, accessories.
  // Adds `element` as a child when it has no container yet; true in every case.
  bool AttachAccessory(zelvproElement* element) override;
  // Whether the top-view record's "DropItems" let elements of type `type` be dropped in.
  bool AcceptsAccessory(int32_t type) override;
  // Colour `value` (dbId form) for colour group `group` (from 1; -1 the main colour) and for every
  // group whose colour code follows it. A value of another catalogue changes nothing.
  void SetGroupColor(int32_t group, int32_t value);
  // Chooses unit `value` (dbId form) for option class `classId`, or the first allowed unit with the
  // same option value; then every option and colour group is checked against what it allows, and
  // the children are given the same choice.
  void SetOption(int32_t classId, int32_t value);
  int32_t GetColorGroupCount() const { return int32_t(colours.size()); }
  // The groups in colour mask `mask` (bits 0 to 30); -1 stands for the mask of the element with its
  // children.
  int32_t CountMaskGroups(int32_t mask);
  // The group (from 1) of the `j`-th (from 0) group in `mask`; -1 when there is none.
  int32_t GroupOfMaskIndex(int32_t j, int32_t mask);
  // The colour of group `group` in dbId form.
  int32_t GetGroupColorValue(int32_t group);
  int32_t GetOptionCount() const { return int32_t(options.size()); }
  // The class of option `m` (from 0); 0 past the options.
  int32_t GetOptionClassAt(int32_t m) const {
    return m >= 0 && size_t(m) < options.size() ? options[size_t(m)].classId : 0;
  }
  // The chosen unit of option class `classId` in dbId form.
  int32_t GetOptionUnitValue(int32_t classId) const;
  // The fixed properties, one per colour group and one per option.
  int32_t GetOwnPropertyCount() const { return 39 + GetColorGroupCount() + GetOptionCount(); }

  // ---- Calculation lines, order lines and the parts list.
  // Removes the element's lines and adds them again (own line, included lines, option-unit lines),
  // then the children's; nothing below an element whose calculate flag is clear.
  void AddToCalculation() override;
  void RemoveFromCalculation() override;
  // The own line's price (price2) without price factor, plus the children's totals; an element
  // without a unit, or not priced, counts its children only.
  ppMoney GetTotalPrice() override;
  ppMoney GetTotalPrice2() override;
  // The price of the element and its children as far as their interior lock keeps them out of lines
  // of their own (they are priced into their parent's line).
  ppMoney SumGroupedPrice();
  ppMoney SumGroupedPrice2();
  // The colour, depth and option lines of the line's options text, joined by CR LF.
  void BuildOptionsText(Vcon::WString& out);
  // One "MODUL" line, then the "KOMPONENT" lines of the element's unit and of each child's.
  void WriteOrderModule(iOrderWriter& writer) override;
  // The element's parts, its options' parts, then the children's.
  void CollectParts(PartsList& parts) override;
  zelvproElement* BuildWorktopStep(zelvproElement* run) override;
  // Writes `text` and then `end` at the file's current position; CR is followed by LF.
  static void AppendCharToFile(ppFileSpec& file, const Vcon::String& text, char end);

  // ---- Properties by name: 39 fixed names, then "Color" k per colour group, then "Option" n per
  // option. Names are exact and case-sensitive; colour and option indexes move with the
  // configuration, so callers keep names, not indexes.
  static constexpr int32_t kFixedProperties = 39;
  int32_t IndexOf(const Vcon::String& name) override;
  void GetPropertyName(Vcon::String& out, int32_t index) override;
  int32_t GetPropertyCount() override;
  ppParameter GetValue(int32_t index) override;
  void SetValue(int32_t index, const ppParameter& value) override;
  // A notified write ends here.
  void EndChange() override { AfterPropertyChange(); }
  void AfterPropertyChange();
  // 1 for a lone unit or the end of a run of numbered units snapped at one height, 2 inside a run;
  // stores the code of the anchor of the first neighbour counted as the first-snap direction.
  int32_t CountSequenceSnaps();
  // The class record's "id" when the unit's class is numbered; no value otherwise.
  ppParameter EnumClassValue();
  // Colour and option configuration operations the property writes call.
  // Numbering (the numbering sweeper writes these through the properties).
  int32_t enumGroup = 0;
  int32_t enumNumber = 0;
  int32_t sequenceNumber = 0;
  int32_t firstSnapDirection = 0;  // an anchor code

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
  // The part owning a box at a cell of this container whose placement mode is `mode` (null: none).
  virtual zelvproTopViewElement* FindCellOwner(int32_t column, int32_t row, int32_t layer, int32_t mode);
  uint8_t applied = 0;  // ApplyAccessId has made the interior parts once
  // Fills the configurator with the element's information and colour tabs for the selection `source`.
  void BuildInfoPanel(qxViewHolder* source) override;

  // ---- Part-table queries (wall features and the elevation measures read them).
  // One catalogue part of the element: its 2D shape record, its 3D shape record (0: none) and its key.
  struct CataloguePart {
    int32_t shape = 0;
    int32_t shape3D = 0;
    int32_t key = 0;
  };
  std::vector<CataloguePart> partTable;  // in catalogue order; empty for an element without parts
  // 3D shape record flags: a keyed part; the part measures along x, y, z; the element's own size
  // stands in for the part's length.
  static constexpr int32_t kKeyedPart = 0x2000, kMeasuresX = 0x20, kMeasuresY = 0x40, kMeasuresZ = 0x80;
  static constexpr int32_t kTakesElementSize = 0x1;
  // Whether a part whose 3D shape record has kKeyedPart has its key in `keys`.
  virtual bool HasPartWithKeyIn(const std::set<int32_t>& keys);
  // Appends one dimension line to `list` for every part that measures along an axis.
  void CollectStretchDimensions(std::vector<PlanAnnotation>& list);
  // Makes the part table from a top-view record's "Units" (8-byte {unit record id, key} pairs): one
  // part per pair, in order, with the unit's footprint shape (its first "shapes" entry) and the first
  // 3D shape record its 64-byte "shapes3D" entries name. Reads each unit once; run when the element
  // is built, from the catalogue or from a document, never while it is drawn.
  void BuildPartTable(const Bytes& units);

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

  // ---- Plan drawing, printing and the drawing export.
  // The outline's modified points, kept on the outline.
  static Handle OutlinePoints(zelvproShape& shape);
  // The unit's own pieces, then those of its chosen options (element frame); null when none.
  std::unique_ptr<zelvproShape> UnitPieces();
  void DrawUnitPieces(ppDC& dc, const PlanToPixels& mapping, const ppRGBColor& colour, bool asPolylines);
  void PrintUnitNumber(ppDC& dc, const PrintPageFields& page, const plat::RECT& box);

  // ---- Grid placement, outline geometry and the configuration pass.
  // The container of this part when it is a top-view element.
  zelvproTopViewElement* GridContainer() const;
  // A mode-`mode` panel containing cell (c, r) of the drop's layer; null when none.
  const PosSheetCell* PanelAt(int32_t mode, int32_t c, int32_t r, const GridDrop& drop) const;
  // The anchor position plus those its hooks lead to (a hook cycle stops at an anchor passed).
  ppVector3 ChainedAnchorPosition(const TopViewAnchor& anchor) const;
  // Configuration pass steps: options outside their allowed units; snaps that follow the options.
  void CheckOptionsAgainstAllowedUnits();
  void MoveLinksOfConfiguredSnaps();
  // Adds the parts of the chosen unit of option `option` at its anchors.
  void AppendOptionParts(const TopViewOption& option);
  // Mode 1 steps 3, 5 and 6 (for modes 1 and 8).
  bool HorizontalPanelFits(const GridDrop& drop) const;
  // Mode 4 steps 4 to 6 and step 7 (for modes 4 and 5).
  bool RisingPartFits(GridDrop& drop) const;
  bool RisingPartBetweenPanels(const GridDrop& drop) const;
  // Mode 7 steps 1, 5 and 6 (for modes 7 and 11).
  void SlideToNearSide(GridDrop& drop) const;
  bool NearSidePanelsFit(const GridDrop& drop) const;
  // The part leaves its container's grid before it is deleted.
  void LeaveContainerGrid();

  // ---- Colour choices.
  // The colours of `colours` allowed at `position` before the children are taken in.
  std::vector<int32_t> AllowedColours(ppDatafile& colours, int32_t position);
  // Under the price-driven switch, keeps in `set` the colours that the option keys of the unit's
  // (and priced options') price records name for colour code record `code`.
  void FilterByPriceKeys(ppDatafile& colours, int32_t position, int32_t code, std::vector<int32_t>& set);
  // What the colour choices depend on beyond the cache key's numbers: the option key, the unit, the
  // chosen units and, with children, the children's own.
  std::string ColourChoiceKeyText(bool withChildren);
  // SetOption once the unit is known to be allowed: `optionValue` is its option value and `value`
  // the dbId form the children are given.
  void ApplyOptionChoice(int32_t classId, int32_t unit, int32_t optionValue, int32_t value);

  // ---- Calculation lines, order lines and the parts list.
  struct PriceSum {
    ppMoney price, price2;
    int32_t priceId = 0;
  };
  ppMoney SumGrouped(bool second);
  void AddOwnLine(CalculationLine& line);
  void AddIncludedLines(CalculationLine& line, int32_t unitId, int32_t times);
  void AddOptionLines(CalculationLine& line, const TopViewOption& option);
  // The own line's price record or sums (steps that look prices up), and its texts.
  void PriceOwnLine(CalculationLine& line, int32_t unit, int32_t unitFlags, int32_t colourPosition);
  void PriceChildrenIntoLine(CalculationLine& line);
  void PriceOptionsIntoLine(CalculationLine& line);
  // Adds the parts-list prices of `unit` (times each count) to `sum`; `naming` (may be null) takes the
  // naming part.
  void SumPartsList(PriceSum& sum, int32_t unit, int32_t colourPosition, int32_t* naming);
  int32_t LookupOptionPrice(int32_t unit, int32_t unitFlags, int32_t colourPosition);
  Vcon::WString LongItemText(const Vcon::WString& unitNumber, const Vcon::WString& text);
  ppMoney TotalPrice(bool second);
  int32_t OptionColourPosition(int32_t unit);
  int32_t PricingDepth(int32_t unitFlags);
  int32_t ElementNumber();
  DecimalNumber StretchQuantity();
  void FillDimensions(CalculationLine& line);
  int32_t OrderColour();
  void AddUnitParts(PartsList& parts, int32_t unit);

  // ---- Properties by name.
  ppParameter GetFixedValue(int32_t index);
  void SetFixedValue(int32_t index, const ppParameter& value);
  ppParameter DbIdValue(int32_t id) const;
  // The record id of a value in dbId form; -1 when it names another database.
  int32_t RecordOfValue(const ppParameter& value) const;
  void SetLengthOf(float ppVector3::*axis, const ppParameter& value);
  void SetCoordinateOf(float ppVector3::*axis, const ppParameter& value);
  void SetDimension(int32_t index, const ppParameter& value);
  void SetUnitId(const ppParameter& value);
  void SetTagValue(int32_t index, const ppParameter& value);
  void SetDepthId(const ppParameter& value);
  void DeleteByTask();
  void SetInteriorLock(bool on);
  // "EnumGroup" or "SequenceNumber": the number stands once above 0 and travels along the run.
  void SetRunNumber(int32_t& field, const char* name, const ppParameter& value);
  // The neighbours linked through the anchors, in anchor order, that stand at this unit's height.
  std::vector<zelvproElement*> NeighboursAtHeight();
  // Writes (index, value) with notification to every child view, in child order.
  void WriteToChildren(int32_t index, const ppParameter& value);
  Vcon::String ColourPropertyName(int32_t j);
  // The plan is redrawn and the canvas updates (the end of colour and option writes).
  void RedrawAndUpdate();

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
