// What a plan element asks of the price list: a record buffer of the calculation line layout
// ("qxCalculator") to build lines in, the line texts and totals, adding a line, forgetting the lines
// that belong to an element and showing the last line. The calculation installs its line list here;
// until one is installed, elements have no lines to add or remove.
#pragma once

class ppDatafile;
class zelvDatabase;
class zelvproElement;

class iCalculationList {
 public:
  // The run-time references of the line in the buffer: they are kept beside the line, never in its
  // stored bytes. Not owned.
  struct LineRefs {
    zelvproElement* element = nullptr;
    zelvDatabase* db = nullptr;
  };

  virtual ~iCalculationList() = default;
  // The calculation record file whose record buffer lines are built in; null without a calculation.
  virtual ppDatafile* LineFile() { return nullptr; }
  // Clears the line buffer.
  virtual void ClearBuffer();
  // Fills the line's texts and totals by its type (for a calculation item total = (price + discount)
  // times pcs, and total2 likewise).
  virtual void FinishLine(const LineRefs& /*refs*/) {}
  // Adds the line in the buffer: over the element's line when the element keeps one line, merged
  // into an equal line, or as a new line.
  virtual void AddLine(const LineRefs& /*refs*/) {}
  // Removes every calculation line of `element` (its own and its included lines).
  virtual void RemoveElementLines(zelvproElement* /*element*/) {}
  // `element` is being destroyed: nothing may keep its address (a later element may get it).
  virtual void ElementGone(zelvproElement* /*element*/) {}
  // Scrolls the price list to its last line.
  virtual void ShowLastLine() {}
  // ---- The whole price list rebuilt from a plan.
  // Deletes every line of the calculation table.
  virtual void DeleteAllLines() {}
  // Releases the data each line caches (it is read again when the lines are rebuilt).
  virtual void ReleaseLineData() {}
  // Removes the generated line kinds, makes them again from the plan under `canvas`, and sorts.
  virtual void RebuildLines(zelvproElement& /*canvas*/) {}

  // The installed list, or a neutral one; never null.
  static iCalculationList& Current();
  // Installs `list` (null: the neutral one again). Not owned.
  static void Install(iCalculationList* list);
};
