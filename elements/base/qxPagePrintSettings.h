// The print settings while one canvas page prints: the page record answers where the plan lands
// (clip, origin, pixels per millimetre, offset, header wanted); everything else is asked of the
// settings installed before. Installs itself for its lifetime and puts the earlier settings back.
// User-interface thread only.
#pragma once

#include "elements/topview/iPrintSettings.h"

struct qxPrintPage;

class qxPagePrintSettings : public iPrintSettings {
 public:
  explicit qxPagePrintSettings(const qxPrintPage& page);
  ~qxPagePrintSettings() override;
  qxPagePrintSettings(const qxPagePrintSettings&) = delete;
  qxPagePrintSettings& operator=(const qxPagePrintSettings&) = delete;

  bool OutlineOnly() override { return Outer().OutlineOnly(); }
  PrintPageFields PageFields(int32_t page) override;
  void PrintHeader(ppDC& dc, int32_t page) override { Outer().PrintHeader(dc, page); }
  void MarkPageDone(int32_t page) override;
  int32_t DrawingScale() override { return Outer().DrawingScale(); }
  i3DPaneHost* DocumentHost() override { return Outer().DocumentHost(); }
  PrintTitleFields TitleFields() override { return Outer().TitleFields(); }

 private:
  iPrintSettings& Outer();
  const qxPrintPage& page_;
  iPrintSettings* previous_;  // not owned; null: the neutral settings
  bool done_ = false;
};
