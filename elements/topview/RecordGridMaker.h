// The grid maker the elements' dialogs use (iRecordGrids) over the grid control: one ppGrid on the
// host view per layout, its rows the layout's record file, its header the layout's header source,
// a vertical scroll bar, and a link validator on every column with a look-up file (the look-up's
// fields become the pick list's columns). The layout's two line heights are the grid's horizontal
// and vertical scroll steps; its editing mode changes nothing (the style's bit 4 makes the grid
// editable). The start-up installs one maker for the run.
// User-interface thread only.
#pragma once

#include "elements/topview/iRecordGrids.h"

class RecordGridMaker : public iRecordGrids {
 public:
  // The grid becomes the host's last subview.
  void MakeGrid(ppView& host, const RecordGridLayout& layout) override;
};
