#pragma once
// A push button with a text label over the standard button pictures (2096 + state), used in the
// views of view dialogs. The label is centred, bold, at size 10 in the application's default face.

#include <cstdint>

#include "foundation/VconString.h"
#include "framework/ppButton.h"

class ppTextButton : public ppButton {
 public:
  static constexpr int32_t kPictures = 2096;

  // `textId` not 0: the label is that text in the current language (`text` when there is none).
  ppTextButton(ppView* supervisor, const plat::RECT* frame, int32_t alternatePicture,
               const Vcon::WString& text, int32_t textId, int8_t horizontal, int8_t vertical);

  void DrawContent(ppDC& dc) override;

  const Vcon::WString& Text() const { return text_; }
  void SetText(const Vcon::WString& text) { text_ = text; }
  int32_t AlternatePicture() const { return alternatePicture_; }

 private:
  Vcon::WString text_;
  int32_t alternatePicture_;
};
