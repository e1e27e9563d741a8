// A catalogue item that belongs to another element, its host (a handle, a shelf, a lamp fitted to a
// cabinet). It lives as a child of its host, so it moves, turns and goes with it; in the plan it
// has no outline, is never hit and draws nothing, so clicks and drawing pass through to the host.
// It shows in the 3D view and the price list through the top-view element. It takes the host's tag
// and linked record whenever its geometry is invalidated.
// User-interface thread only.
#pragma once

#include "elements/topview/zelvproTopViewElement.h"

class zelvproAccessory : public zelvproTopViewElement {
 public:
  // A new accessory of top-view record `recordId`; it has no colour until its host gives one.
  zelvproAccessory(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
                   zelvproShapeFil& shapes);
  // An accessory from the current record of a document-module table.
  zelvproAccessory(ppView* parent, ppDatafile& module, bool refresh);

  void DrawContent(ppDC& /*dc*/) override {}
  std::unique_ptr<ppRegion> GetFrameRegion() override { return std::make_unique<ppRegion>(); }
  std::unique_ptr<ppRegion> NewFrameRegion() override { return std::make_unique<ppRegion>(); }
  bool ContainsPoint(int32_t /*x*/, int32_t /*y*/) override { return false; }
  bool AcceptsChild(int32_t /*kind*/, zelvproElement* /*element*/) override { return false; }
  void CommitEdits() override {}
  // The top-view element's, then the host's tag and linked record; the canvas schedules an update.
  // Without a host nothing is taken.
  void InvalidateGeometry() override;
  void WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) override;
  // An accessory never widens a 2D extent.
  void ExtendBounds2D(ppVector2& /*min*/, ppVector2& /*max*/) override {}
  // Differs by unit (resolved access id) or by the second price pair; colours are not compared.
  bool DiffersFromRecord(zelvproElement* other) override;

  // Sets the place in `host` that the accessory takes when it is put there (before or after it is
  // attached): unturned in the host's frame, its catalogue height above the floor, its outline
  // centred on `planPoint` (plan millimetres; null: its origin on the host's origin) and moved, where
  // it would overhang, so that it lies within the host's outline. An accessory wider than its host
  // is centred on it across that width.
  void PlaceIn(zelvproElement& host, const ppVector3* planPoint);
};
