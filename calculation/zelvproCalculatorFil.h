// The calculation lines of the open document's price list: an embedded table of the layout
// "qxCalculator" packed in one memory handle, with no owner record (writing back fills the handle
// and nothing else). Writing a line's property pulls its dependent fields along (a changed unit,
// article number, price, discount or quantity); reading a line recalculates its totals and narrow
// texts; BuildLineTexts fills its wide display texts from the catalogue.
//
// Run-time references: a line's plan element and catalogue database are kept beside the line (see
// CalculationLineRefs), never in its stored bytes, whose "db" and "element" words are always written
// as 0. A record buffer carries the references of the line it holds: reading line i into a buffer
// gives the buffer line i's references, and writing or inserting a buffer gives the line the
// buffer's. The catalogue tables are read through views of the table's own, so the catalogue's
// tables keep their selections.
//
// Money follows ppMoney: amounts of four decimals; a product or quotient with a float or double is
// formed in floating point and truncated toward zero; the quantity `pcs` takes part as an amount.
//
// Owns its scratch record buffer and its views; the blob, the database and the elements and
// catalogue databases the lines name are not owned (the blob must outlive the table). The destructor
// writes nothing back. User-interface thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "calculation/CalculationCatalogViews.h"
#include "calculation/CalculationLineIndex.h"
#include "calculation/CalculationLineRefs.h"
#include "database/ppEmbeddedData.h"
#include "elements/topview/iCalculationList.h"
#include "foundation/DecimalNumber.h"
#include "foundation/ppFloat.h"
#include "foundation/ppMoney.h"

class ppConfigPanel;
class ppConfigurator;
class zelvDatabase;
class zelvproElement;
class zelvproTagFil;

class zelvproCalculatorFil : public ppEmbeddedData, public iCalculationList {
 public:
  static constexpr const char* kLayout = "qxCalculator";
  // flags1 of the application settings: plan contributions merge by article (same price link)
  // rather than by every merge key.
  static constexpr uint32_t kMergeByArticle = 0x80;
  // flags1: the Calculation Item panel shows the discount fields; the second price fields.
  static constexpr uint32_t kDiscountFields = 0x200, kSecondPriceFields = 0x2;
  // flags2: no line panel is shown.
  static constexpr uint32_t kNoLinePanel = 0x2;
  // A unit's "flags": the unit is priced through its parts list.
  static constexpr int32_t kPricedByParts = 0x1;

  // Field numbers of the line layout (the property index of a field is its number).
  enum Field : int32_t {
    kRecordId = 0,  // "id"
    kTopViewId = 1,
    kPriceId = 2,
    kUnitId = 3,
    kColorId = 4,
    kDatabaseId = 5,
    kOldPieces = 7,  // "_pcs"
    kElement = 9,
    kUnitText = 12,
    kElements = 16,
    kTag = 17,
    kType = 18,
    kUnitDescription = 20,
    kOldDiscountPercent = 22,  // "xdiscountPct"
    kDb = 28,
    kPacket = 29,
    kVolumeTotal = 30,
    kWeightTotal = 31,
    kNoteIndex = 32,
    kVolume = 33,
    kWeight = 34,
    kPrimSort = 35,
    kSecSort = 36,
    kMissing = 39,
    kPiecesAndMissing = 40,
    kSort3 = 41,
    kSort4 = 42,
    kSort5 = 43,
    kPict = 49,
    kPrice = 52,
    kTotal = 53,
    kPrice2 = 54,
    kTotal2 = 55,
    kDiscount = 56,
    kPriceText2 = 57,
    kTotalText2 = 58,
    kDiscountPercent = 64,
    kText = 65,           // "ttext"
    kWidePriceText = 67,  // "tpriceText", the line's article text
    kWideUnitText = 68,
    kWideColorText = 69,
    kWideDbText = 70,
    kWideTagText = 71,
    kWideUnitDescription = 72,
    kOrderNumber = 73,  // "torderID"
    kOtherText = 74,    // "totherText"
    kWideUnitName = 76,
    kWideCorpusColor = 77,
    kWideSku = 81,
    kOptions = 82,
    kCompleteUnit = 83,
    kNumber = 84,
    kGroup = 85,   // narrow sort text
    kPieces = 86,  // "pcs"
    kDimensions = 87,
    kUnitAndDimensions = 88,
    kSequence = 89,
  };

  // Line types (field "type").
  enum LineType : int32_t {
    kEmptyLine = 0,
    kCalculationItem = 1,
    kElementLine2 = 2,
    kElementLine3 = 3,
    kTagSubtotal = 4,
    kTotalLine = 5,
    kUnusedLine = 6,
    kTagHeading = 7,
    kItemService = 8,
    kTextLine = 9,
    kDiscountLine = 10,
    kSubtotalLine = 11,
    kVatLine = 12,
    kNoteLine = 13,
  };

  using LineRefs = iCalculationList::LineRefs;

  // The STRINGARRAY of the list's fallback texts: 1 "Total", 2 "Subtotal", 3 "Subtotal for ".
  static constexpr uint16_t kListTexts = 2004;
  static constexpr int32_t kTotalText = 5044, kTagSubtotalText = 5046;

  // What the tag ordering compares of a line, read once per line: rank (ordinary 0, untagged
  // Discount 1, SubTotal 2, VAT/Tax 3, Total 4), then for ordinary lines tag and type, then the
  // record id.
  struct TagSortKey {
    int32_t rank = 0, tag = 0, type = 0, id = 0;
  };
  // What the display ordering compares of a line, read once per line.
  struct DisplaySortKey {
    int32_t primSort = 0, tag = 0, secSort = 0, number = 0, sequence = 0, type = 0;
    Vcon::String group;
    int32_t sort3 = 0, sort4 = 0, unitId = 0;
  };

  // Binds "qxCalculator" in `database`; `blob` may be null until the price list gives one.
  zelvproCalculatorFil(ppDatabase& database, Handle blob);
  ~zelvproCalculatorFil() override;

  // Rereads the current line first. "tag" reads (index of the line's tag in the document's tag
  // table, 0 when none has its id) x 10000 + 1; "discountPct" reads the percentage as text with two
  // decimals and the user's decimal and thousands characters; every other field its stored value.
  ppParameter GetValue(int32_t index) override;
  // Writes the field of the current line, runs the field's follow-up rule, writes the lines back
  // into the handle and tells the observer which line changed. A write that changed the line's
  // stored form marks the open document modified (through the element host). An empty table
  // ignores the write.
  void SetValue(int32_t index, const ppParameter& value) override;
  // The recalculation of a line just read into `buffer` (null: the current buffer): old-style
  // quantity and percentage, totals, weight and volume totals, picture, narrow texts.
  void AfterRead(char* buffer) override;
  // The display form of a field for the lists and printing (empty texts for zero quantities,
  // totals, discounts, numbers; amounts and percentages as text); other fields as stored.
  void GetFieldValue(int32_t field, ppParameter& out, char* buffer) override;
  // Fills the wide display texts of the line in `buffer` (null: the current buffer) from the
  // catalogue by its line type; nothing while the texts are frozen.
  virtual void BuildLineTexts(char* buffer);

  // The records, kept in step with their references.
  void ReadRecordAt(int32_t i, char* buffer) override;
  void WriteRecordAt(int32_t i, char* buffer) override;
  void InsertRecordAt(int32_t i, char* buffer) override;
  void DeleteRecordAt(int32_t i) override;
  // Packs with the "db" and "element" words 0.
  void PackRecord(char* buffer, Handle h) override;
  // Loads the lines from the handle; when another table over the same handle changed the number of
  // lines, the references are cut or padded to the new count.
  void BeginAccess() override;
  // Writes the lines into the handle; the merging's changes are then saved.
  void SaveToBlob() override;
  // Whether the merging changed lines that are not in the handle yet.
  bool Unsaved() const { return unsaved_; }

  // The second record buffer of the layout, for the line builders.
  char* ScratchBuffer() const { return scratch_; }
  // While set, BuildLineTexts does nothing. Clear after construction.
  bool TextsFrozen() const { return textsFrozen_; }
  void SetTextsFrozen(bool frozen) { textsFrozen_ = frozen; }
  // Told the index of the current line after every property write; the price list sets it.
  void SetLineChanged(std::function<void(int32_t line)> observer) { lineChanged_ = std::move(observer); }

  // ---- Line merging and list upkeep (zelvproCalculatorFilMerge.cpp). Each operation works on the
  // loaded lines; what they changed reaches the handle at the next BeginAccess or SaveToBlob (writing
  // the handle after every contribution would make a rebuild quadratic). The rebuild's owner saves
  // once when it is done, before another table over the handle reads it.
  // Adds the line in `buffer` (null: the current buffer; its references travel with it) or merges
  // it into the first equal line, adding its quantity: the element's own line when the element keeps
  // a separate line; by price link, tag, database and dimensions in merge mode; by every merge key
  // otherwise. The existing lines are read into the scratch buffer.
  void PriceUnit(char* buffer);
  // Takes one list entry per occurrence of `element` from the lines listing it, and the quantity it
  // added: the line's quantity over the number of entries (equal contributions share a line), from
  // the element's own separate line its whole quantity (never below 0).
  void RemoveElementLines(zelvproElement* element) override;
  // The first line whose element list holds `element`, read into the scratch buffer; -1 when none
  // (and for no element).
  int32_t FindLineOfElement(zelvproElement* element);
  // Every line with a non-empty element list gets an empty list and quantity 0.
  void ResetElementLines();
  // Writes "article number TAB whole quantity CR LF" for every line with a price link, in list
  // order, over the file `file` names (created when missing, cut to 0 bytes). A line with a price
  // link but no catalogue database writes nothing. File and database errors pass to the caller.
  void ExportArticleList(ppFileSpec& file);
  // When set, the merging reads every line in list order instead of asking the index; the answers
  // are the same (the tests and the benchmark compare the two).
  void SetPlainWalk(bool on) { plainWalk_ = on; }
  // Lines read into a buffer since construction (the benchmark's measure of the merging's work).
  int64_t LinesRead() const { return linesRead_; }

  // ---- Building the whole list (zelvproCalculatorFilBuild.cpp). Each works on the loaded lines
  // and leaves its changes unsaved (see Unsaved); the steps the price list calls on their own
  // (BuildLines, SortLinesForTags, AssignSortKeys) load the lines first and save when done.
  // The finished list from the lines the plan added: generated lines made again, packets, unit
  // notes, empty item lines dropped, tag groups, discounts, subtotals, VAT, the Total, the note
  // lines, sort keys, order and blank lines.
  void BuildLines();
  // Zero missing counts, then per catalogue database with packets its packet tree over its lines.
  void BuildPacketLines();
  // A heading before and a subtotal after the lines of every tag but 0; tagged percent discounts
  // take their share of their group. The lines must be in tag order.
  void BuildTagGroups();
  // Stable sort by TagSortKey.
  void SortLinesForTags();
  // Sets the sort keys of every line, then sorts stably by DisplaySortKey.
  void AssignSortKeys();
  void RemoveLinesOfType(int32_t type);
  // Deletes the element lines (types 1 to 3) whose quantity is 0 or below or whose total is 0.
  void RemoveEmptyItemLines();
  void ClearMissingCounts();
  // Blank lines before the Total, SubTotal and VAT/Tax lines (unless they follow one of those) and
  // after tag subtotals and the Total; never two in a row, never one at the end.
  void ArrangeEmptyLines();
  TagSortKey TagSortKeyOf(char* buffer);
  DisplaySortKey DisplaySortKeyOf(char* buffer);
  // Strict orders (a before b); equal keys keep their order in the stable sorts.
  static bool CompareLinesForTags(const TagSortKey& a, const TagSortKey& b);
  static bool CompareLinesForDisplay(const DisplaySortKey& a, const DisplaySortKey& b);
  // Whether narrow text a compares greater than b, byte by byte as unsigned values.
  static bool StringGreater(const Vcon::String& a, const Vcon::String& b);

  // The narrow "type" of the price record the line in `buffer` (null: the current buffer) links to;
  // empty when the line has no catalogue database or price link, or the record is gone.
  Vcon::String PriceTypeOf(char* buffer);

  // ---- The line panel (zelvproCalculatorFilPanel.cpp).
  // Empties `configurator` (null: the program's configurator) of its panels and the objects it keeps,
  // gives it the current line's panel as its only tab and redraws it; nothing when flags2 has
  // kNoLinePanel or there is no configurator.
  void ShowLinePanel(ppConfigurator* configurator = nullptr);
  // Builds the panel of the current line by its type and adds it to `configurator`; answers it. A
  // service line (type 8) has a unit selector while a unit tree exists. The tag-block types hand the
  // configurator a zelvproCalculatorCollaborator. The fields are bound to this table, which must
  // outlive the panel.
  ppConfigPanel* BuildLinePanel(ppConfigurator& configurator);

  // ---- The lines the user added, kept with the document.
  // Whether lines of `type` are the user's own (Item/Service, Text, Discount, SubTotal, VAT/Tax):
  // no rebuild makes them, so only the document can bring them back.
  static bool IsUserLineType(int32_t type) { return type >= kItemService && type <= kVatLine; }
  // Whether lines of `type` are the plan's (its units' own, included and option lines).
  static bool IsElementLineType(int32_t type) { return type >= kCalculationItem && type <= kElementLine3; }
  // Writes the user's lines, in list order, into `into` in the handle form of the line table
  // (replacing what it held), followed by the plan's lines that carry a discount of their own (with
  // an empty element list), and the kept discounts no rebuild has taken yet. `into` is not owned.
  // A reader that takes only the user's line types passes over the plan's lines.
  void PackUserLines(Handle into);
  // Appends the user's lines that `from` holds (in the form PackUserLines writes; lines of other
  // types and unreadable rest are passed over), each with a fresh id from the layer palette's running
  // number, and saves; answers how many came. The plan's lines it holds are kept aside (replacing
  // what was kept): each gives its discount to the first new plan line with its merge keys and number
  // (see PriceUnit) until the next BuildLines. Not owned.
  int32_t AppendUserLines(Handle from);
  // Drops the discounts AppendUserLines kept aside (the list was emptied for another document).
  void ForgetKeptDiscounts();
  // How many kept discounts wait for their line.
  int32_t KeptDiscounts() const { return int32_t(keptByKeys_.size()); }

  // ---- The whole-plan rebuild of the top canvas.
  // Deletes every line and saves.
  void DeleteAllLines() override;
  // ResetElementLines: the lines keep their place, empty of elements, until the rebuild.
  void ReleaseLineData() override;
  // Every element under `canvas` adds its lines, then SortLinesForTags and BuildLines; saves.
  void RebuildLines(zelvproElement& canvas) override;

  // ---- The calculation as the plan elements see it.
  ppDatafile* LineFile() override { return this; }
  // Clears the current buffer and drops the references it carried.
  void ClearBuffer() override;
  // The line texts and the totals of the current buffer, with `refs` as its references.
  void FinishLine(const LineRefs& refs) override;
  // PriceUnit on the current buffer with `refs` as its references.
  void AddLine(const LineRefs& refs) override;
  // Drops every reference to `element` that the lines and the record buffers keep.
  void ElementGone(zelvproElement* element) override;
  // Tells the price list pane, once one listens (SetShowLastLine).
  void ShowLastLine() override;
  void SetShowLastLine(std::function<void()> pane) { showLastLine_ = std::move(pane); }

  // The references of line i (empty outside the lines).
  const LineRefs& LineRefsAt(int32_t i) const { return refs_.At(i); }
  // The references of the line held in `buffer` (null: the current buffer).
  LineRefs& BufferRefs(char* buffer);
  // Forgets what a caller's buffer carried, before the caller disposes of it.
  void ForgetBuffer(char* buffer) { bufferRefs_.erase(buffer); }
  // The key that stands for `element` in a line's "elements" list, and back.
  int32_t ElementKey(zelvproElement* element) { return refs_.KeyOf(element); }
  zelvproElement* ElementOfKey(int32_t key) const { return refs_.ElementOfKey(key); }
  const CalculationLineRefs& References() const { return refs_; }

 private:
  // The largest "id" among the loaded lines, 0 without lines.
  int32_t HighestLineId();
  // Plain field access on a buffer through the field handlers (never the display form).
  int32_t Long(char* b, int32_t field);
  void SetLong(char* b, int32_t field, int32_t value);
  ppMoney Money(char* b, int32_t field);
  void SetMoney(char* b, int32_t field, ppMoney value);
  ppFloat Float(char* b, int32_t field);
  // The line's "discountPct"; 0 when it holds no number (a line stored before empty percentages
  // were read as 0 may hold the no-value mark).
  float Percent(char* b);
  DecimalNumber Quantity(char* b, int32_t field);
  void SetQuantity(char* b, int32_t field, const DecimalNumber& value);
  Vcon::WString Wide(char* b, int32_t field);
  void SetWide(char* b, int32_t field, const Vcon::WString& text);
  Vcon::String Text(char* b, int32_t field);
  void SetText(char* b, int32_t field, const Vcon::String& text);
  // The element keys in the line's "elements" list.
  std::vector<int32_t> ElementKeys(char* b);
  void CheckInStep();

  // ---- Merging (zelvproCalculatorFilMerge.cpp).
  CalculationLineIndex::Entry IndexEntry(char* b, const LineRefs& refs);
  uint64_t AllKeysDigest(char* b);
  uint64_t ArticleKeysDigest(char* b);
  bool AllKeysEqual(char* r, char* n);
  bool ArticleKeysEqual(char* r, const LineRefs& rRefs, char* n, const LineRefs& nRefs);
  // The index, filled again by reading every line when the lines were reloaded behind it.
  CalculationLineIndex& Index();
  // The first of `lines` (or every line, walking) that `test` accepts once read into the scratch
  // buffer; -1 when none. In the test build the indexed answer is checked against the walk.
  template <typename Test>
  int32_t FirstLine(const std::vector<int32_t>& lines, Test test);
  void AppendElementKey(char* b, int32_t key);
  // A numbered contribution takes over the numbered line its element had before this rebuild when no
  // contribution has taken that line yet (its element list is empty), whatever its keys: the line
  // becomes the contribution (texts, colours, keys, sizes, quantity, number) and keeps its id and the
  // discount the user gave it (a percentage taken again of a changed price).
  bool TakeOverOwnLine(char* n, const LineRefs& nRefs);
  // What a contribution in `n` gets as a line of its own: its element in the list, the table's
  // catalogue when it names none, the element's line text and the catalogue's identifier.
  void FinishNewLine(char* n, LineRefs& refs);
  // Whether the plan's line in `b` carries a discount amount or percentage.
  bool HasOwnDiscount(char* b);
  // The digest a kept discount is found by: the keys of the merge mode.
  uint64_t KeptDigest(char* b);
  // Keeps `line` (a record buffer of this layout, owned from now on) aside for its discount.
  void KeepDiscount(char* line);
  // Gives the new line in `n` the discount of the first kept line with its keys and number, and
  // forgets that one.
  void TakeKeptDiscount(char* n, const LineRefs& nRefs, bool byArticle);

  // ---- Building (zelvproCalculatorFilBuild.cpp).
  // One entry of a rearranged list: an existing line by its position, or a new packed record
  // (owned by the table from then on) with no references.
  struct Slot {
    int32_t from = -1;
    Handle fresh = nullptr;
  };
  // The lines become `slots` in that order; lines not named are disposed of. Linear.
  void Rearrange(const std::vector<Slot>& slots);
  // A new packed record of `buffer`'s fields.
  Handle PackNew(char* buffer);
  // Deletes, in one pass, every line that `drop` accepts once read into the scratch buffer.
  template <typename Drop>
  void RemoveLinesWhere(Drop drop);
  template <typename Key, typename Less>
  void SortLines(Key (zelvproCalculatorFil::*keyOf)(char*), Less less);
  // AssignSortKeys without the save.
  void SetKeysAndSort();
  void AssignNotes();
  void DeleteNonPositiveItemLines();
  void RunningSums();
  // A generated line in the scratch buffer: cleared, of `type`, with `tag` and "totherText".
  char* GeneratedLine(int32_t type, int32_t tag, const Vcon::WString& text);
  void PutTotals(char* b, ppMoney total, ppMoney total2, int64_t weight, int64_t volume);
  static Vcon::WString ListText(int32_t number, int32_t item);
  static Vcon::WString TagTextOf(int32_t tag);

  // ---- Follow-up rules (zelvproCalculatorFilRules.cpp).
  void FollowUp(int32_t index, const ppParameter& value, int32_t tagBefore,
                const Vcon::WString& articleBefore);
  // Stores the current buffer as the current line and writes the lines into the handle.
  void Commit();
  // The packed bytes of the line in `b` as a save stores them ("db" and "element" 0).
  std::vector<uint8_t> StoredForm(char* b);
  // The write of step two for one field: no follow-up rule runs for it.
  void BaseWrite(int32_t field, const ppParameter& value);
  void UnitChanged();
  void DatabaseChanged();
  void TagChanged(const ppParameter& value, int32_t tagBefore);
  void OrderNumberChanged(const ppParameter& value, const Vcon::WString& articleBefore);
  // The catalogue database of identifier `id`, or null.
  static zelvDatabase* FindDatabase(int32_t id);
  static zelvproTagFil* TagTable();

  // ---- Recalculation and texts (zelvproCalculatorFilTexts.cpp).
  // total, total2, weightTotal and volumeTotal of a priced line.
  void ComputeTotals(char* b);
  // The preview record id of the unit `unitId` of `db` (0 when none), held in "pict".
  int32_t PreviewOf(zelvDatabase& db, int32_t unitId);
  void ColourText(char* b, const LineRefs& refs, CalculationCatalogViews::Views& views);
  // Answers the unit's "flags" (0 without a unit record).
  int32_t UnitTexts(char* b, CalculationCatalogViews::Views& views);
  void NoteMarkers(char* b);
  // The article number and SKU texts from the price record; an element line whose unit is priced
  // through its parts (`unitFlags`) shows the article text the element named it by, when it has one.
  void PriceTexts(char* b, CalculationCatalogViews::Views& views, int32_t unitFlags);
  void TagText(char* b);

  char* const record_;  // the current record buffer (the base's)
  char* scratch_ = nullptr;
  bool textsFrozen_ = false;
  std::function<void(int32_t)> lineChanged_;
  CalculationLineRefs refs_;
  CalculationLineIndex index_;
  bool plainWalk_ = false;
  bool unsaved_ = false;
  int64_t linesRead_ = 0;
  std::function<void()> showLastLine_;
  std::vector<Vcon::WString> noteTexts_;  // the note lines of the build under way
  int32_t deliveryField_ = -1, packetField_ = -1, sort5Field_ = -1, depthField_ = -1;
  std::unordered_map<const char*, LineRefs> bufferRefs_;
  // The plan's lines kept with the document for their discounts (owned record buffers, disposed
  // of when the table goes or they are forgotten), and those not taken yet by their keys' digest.
  std::vector<char*> kept_;
  std::unordered_multimap<uint64_t, size_t> keptByKeys_;
  CalculationCatalogViews views_;
};
