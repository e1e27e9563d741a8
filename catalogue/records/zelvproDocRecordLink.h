// The document configurator's way to the open document: the document record file of the run
// (DocumentRecordFile) and its modified mark. Start-up installs one
// (zelvproDocConfigurator::SetDocumentRecordLink). User-interface thread only.
#pragma once

#include "controls/iDocumentRecordLink.h"

class zelvproDocRecordLink : public iDocumentRecordLink {
 public:
  ppDatafile* DocumentRecords() override;
  void MarkModified() override;
};
