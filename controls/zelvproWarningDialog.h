// A modal question with Yes, No and Cancel whose texts are text numbers of the current language, so
// that the string database decides what it says; a number without text keeps the template's text.
// It answers 6 for Yes, 7 for No and 2 for Cancel (and Escape). User-interface thread only.
#pragma once

#include <cstdint>

#include "framework/ppDialog.h"

class zelvproWarningDialog : public ppDialog {
 public:
  static constexpr int32_t kTemplate = 1117;
  static constexpr int32_t kMessageItem = 1013;
  static constexpr int32_t kYes = 6;
  static constexpr int32_t kNo = 7;

  zelvproWarningDialog(plat::HWND owner, int32_t captionId, int32_t messageId, int32_t cancelId,
                       int32_t yesId, int32_t noId);

  void AfterInitDialog() override;
  void Command(int32_t id, int32_t page) override;

 private:
  void Translate(int32_t item, int32_t textId);

  int32_t captionId_, messageId_, cancelId_, yesId_, noId_;
};
