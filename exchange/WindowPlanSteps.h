// The plan steps of saving and opening over the document window: the room and top canvases save their
// trees into the "room" and "furniture" tables, the view mode and owner come from the window, and a
// load ends with the document and view sweepers and one run of the placement warnings. The window is
// not owned and must outlive this. User-interface thread only.
#pragma once

#include "exchange/iDocumentPlanSteps.h"

class zelvproWindow;

class WindowPlanSteps : public iDocumentPlanSteps {
 public:
  explicit WindowPlanSteps(zelvproWindow& window);

  void RemoveGeneratedElements() override;
  void SaveTrees(zelvproDocFil& document) override;
  int32_t ViewMode() override;
  void AfterLoad(int32_t lastView) override;
  void ResetRulers() override;
  bool ExportPicture(ppFileSpec& file) override;
  // The price list's article list; false without a price list.
  bool ExportArticleList(ppFileSpec& file) override;
  void WriteOrderLines(iOrderWriter& writer) override;
  plat::HWND OwnerWindow() override;

 private:
  zelvproWindow& window_;
};
