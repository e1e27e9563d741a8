#include "catalogue/records/zelvproDocRecordLink.h"

#include "catalogue/records/zelvproDocFil.h"

ppDatafile* zelvproDocRecordLink::DocumentRecords() { return DocumentRecordFile; }

void zelvproDocRecordLink::MarkModified() {
  if (DocumentRecordFile != nullptr) DocumentRecordFile->MarkModified();
}
