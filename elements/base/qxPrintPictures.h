// The pictures the top canvas's printed pages ask of the 3D pane: the plan of the whole room and the
// elevation of one wall run, drawn off screen into target rectangles of picture pixels. The default
// draws them with the current 3D pane; without a pane there is no picture (the pages still print
// their texts and annotations). The document window's element host hands it out; tests put a
// recording double in its place. User-interface thread only.
#pragma once

#include <vector>

#include "platform/GdiTypes.h"
#include "scene3d/panes/qxPanePictures.h"

class qxPrintPictures {
 public:
  virtual ~qxPrintPictures() = default;
  // The plan seen from above; the items' and marks' window points are filled in.
  virtual qxPictureResult Plan(qxPictureItem* items, std::vector<qxPictureMark>* marks,
                               const plat::RECT& target);
  // The run of `items` seen from the front; the items' first window points are filled in.
  virtual qxPictureResult Group(qxPictureItem* items, const plat::RECT& target);

  // The pane's pictures, stateless; never null.
  static qxPrintPictures& Default();
};
