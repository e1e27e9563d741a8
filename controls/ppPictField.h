// A configurator field that shows its own copy of a picture (a catalogue unit's preview in an
// information panel, for example). It holds no value. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "controls/ppField.h"

class ppPicture;

class ppPictField : public ppField {
 public:
  // Copies `picture` (may be null); the caller keeps its own.
  ppPictField(ppView* parent, const ppPicture* picture);
  ~ppPictField() override;

  const ppPicture* Picture() const { return picture_.get(); }

  // 80 pixels without a picture; its height plus the top and bottom margins with one, hidden or not.
  int32_t LayoutAt(int32_t top) override;
  void DrawContent(ppDC& dc) override;

 private:
  std::unique_ptr<ppPicture> picture_;  // owned copy, or null
};
