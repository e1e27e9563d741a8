// What the document configurator needs of the open document, which lives above the controls: the
// record file whose buffer holds the current document record, and the document's modified mark.
// The document record code implements it and start-up installs it
// (zelvproDocConfigurator::SetDocumentRecordLink).
#pragma once

class ppDatafile;

class iDocumentRecordLink {
 public:
  virtual ~iDocumentRecordLink() = default;
  // The record file of the open document; null while there is none.
  virtual ppDatafile* DocumentRecords() = 0;
  // Marks the open document as changed, so that closing it asks before the change is lost.
  virtual void MarkModified() = 0;
};
