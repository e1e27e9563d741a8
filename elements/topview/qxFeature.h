// The base of elements that stand in or on a room's walls (the room segment among them): a top-view
// element that adds nothing of its own yet, so that wall-attached classes share one base. It sets
// no kind: the kind word 1024 belongs to the wall body. User-interface thread only.
#pragma once

#include "elements/topview/zelvproTopViewElement.h"

class qxFeature : public zelvproTopViewElement {
 public:
  // A new feature of top-view record `recordId` (see zelvproTopViewElement).
  qxFeature(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
            zelvproShapeFil& shapes);
  // A feature from the current record of a document-module table.
  qxFeature(ppView* parent, ppDatafile& module, bool refresh);
  ~qxFeature() override = default;

  // The top-view element's record and nothing more.
  void WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) override;
};
