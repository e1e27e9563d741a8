// A catalogue unit whose shape and price come from a configuration rather than from fixed catalogue
// data. Its outlines may have been altered by configuring, so they are saved byte for byte with the
// element ("points": per outline a 32-bit length and that many bytes of points, then a 0 length);
// its name and price are its own and go to the price list as one line. Dragging it starts the
// configuration task instead of moving it, in every view. Its colour stays within the "Colors" its
// top-view record offers. It takes no children.
// User-interface thread only.
#pragma once

#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/VconString.h"

class zelvproConfigElement : public zelvproTopViewElement {
 public:
  // The line type of the element's own price line.
  static constexpr int32_t kConfigLine = 2;

  zelvproConfigElement(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
                       zelvproShapeFil& shapes);
  // An element from the current record of a document-module table: the catalogue outlines are
  // replaced by the saved ones as far as the saved data reaches.
  zelvproConfigElement(ppView* parent, ppDatafile& module, bool refresh);

  // The outlines filled white and edged in black (dark red when selected); no labels.
  void DrawContent(ppDC& dc) override;
  bool AcceptsChild(int32_t /*kind*/, zelvproElement* /*element*/) override { return false; }
  // The configuration task over the element, also in the 3D view.
  ppTask* CreateMoverTask(qxViewHolder* selection, zelvproCanvas* canvas, void* feedbackSource) override;
  // Edits of a configurable element post no undo records.
  void CommitEdits() override {}
  // Its own line when priced, then the children's lines in any case.
  void AddToCalculation() override;
  void FillCalculationLine(CalculationLine& line) override;
  int32_t ValidateColorRecord(int32_t id, int32_t /*group*/) override { return AllowedColorRecordId(id); }
  // The element-base colour rule, through AllowedColorRecordId.
  void ApplyColorRecord(int32_t id, zelvDatabase* owner, int32_t mask) override;
  void WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) override;

  // `id` when the top-view record's "Colors" list holds it or is empty, else the list's first colour;
  // `id` when the element has no top-view record.
  int32_t AllowedColorRecordId(int32_t id);

  // Replaces the points of the outlines in chain order from `blob` (the saved form); reading stops at
  // a 0 length, at the end of the data, or at a length beyond the rest. Outlines beyond the data keep
  // their points; data beyond the outlines is ignored.
  void RestoreOutlinePoints(const uint8_t* blob, size_t size);
  // The saved form of the outlines' points, 0 length included.
  std::vector<uint8_t> SaveOutlinePoints() const;

  // The element's own name (the document record's "name").
  Vcon::String name;
};
