// Posted to the document window after a document loaded: resets the editor's rulers, shows the
// default configurator panel of the view and tells every listener (message 1000 on channel 1000)
// that a document was loaded. The queue owns it once posted. User-interface thread only.
#pragma once

#include "framework/ppSweeper.h"

class zelvproWindow;

class qxDocSweeper : public ppSweeper {
 public:
  static constexpr int32_t kDocumentChannel = 1000, kDocumentLoaded = 1000;
  explicit qxDocSweeper(zelvproWindow& window);
  void Sweep() override;

 private:
  zelvproWindow& window_;
};
