// The header band of a printed 3D view: the application's frame picture at the left, a framed text
// block at the right with the document name, today's date and the room size, and a caption beside it.
// Drawn by the print worker after the image. The texts come from the text database with numbers as
// fallbacks.
#pragma once

#include "foundation/VconString.h"

class i3DPaneHost;
class ppDC;
struct qxPrintPage;

class qxPrintHeader {
 public:
  static constexpr int32_t kFramePicture = 2001;

  // The header's texts for the document `host` answers for.
  explicit qxPrintHeader(i3DPaneHost& host);

  const Vcon::WString& NameLine() const { return nameLine_; }
  const Vcon::WString& DateLine() const { return dateLine_; }
  const Vcon::WString& SizeLine() const { return sizeLine_; }
  const Vcon::WString& Caption() const { return caption_; }

  // Draws the band on `dc` (device pixels) as the page's margins and text scale place it.
  void Draw(ppDC& dc, const qxPrintPage& page) const;

 private:
  Vcon::WString nameLine_;
  Vcon::WString dateLine_;
  Vcon::WString sizeLine_;
  Vcon::WString caption_;
};
