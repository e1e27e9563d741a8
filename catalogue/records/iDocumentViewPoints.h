// The 3D view's part in opening and saving a document: after an accepted Unpack it restores the
// stored view point into its camera, before the record is packed it stores the camera into the
// record. The document record file runs it; the 3D canvas fills it. The neutral one does nothing.
#pragma once

class zelvproDocFil;

class iDocumentViewPoints {
 public:
  virtual ~iDocumentViewPoints() = default;
  virtual void AfterOpen(zelvproDocFil& /*document*/) {}
  virtual void BeforePacking(zelvproDocFil& /*document*/) {}
};
