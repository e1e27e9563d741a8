// The button bar under the price list: five buttons that add the user lines Item/Service, Text,
// Discount, SubTotal and VAT/Tax. A press broadcasts the button's message on channel 1002 (1006-1010),
// which the price list pane answers; the bar itself holds no data. The buttons' tool tips are
// registered with the document window's tool-tip control while the calculation canvas is shown.
// Owns its buttons (subviews). User-interface thread only. The most recently made bar is Current()
// until it goes.
#pragma once

#include <array>
#include <cstdint>

#include "framework/ppCollaborator.h"
#include "framework/ppView.h"

class ppButton;

class zelvproCalculatorButtons : public ppView, public ppCollaborator {
 public:
  static constexpr int32_t kButtonCount = 5;
  static constexpr int32_t kButtonWidth = 24, kButtonStep = 30;
  // Per button: picture id, tip text id, fallback entry of the tool-tip word list, message.
  struct Entry {
    int32_t picture, textId, entry, message;
  };
  static constexpr std::array<Entry, kButtonCount> kButtons{{{3108, 1128, 40, 1006},
                                                             {3112, 1129, 41, 1007},
                                                             {3116, 1130, 42, 1008},
                                                             {3120, 1131, 43, 1009},
                                                             {3124, 1132, 44, 1010}}};
  static constexpr int32_t kTipWordList = 2013;

  // `frame`: supervisor coordinates; the bar keeps its x place and follows the supervisor's bottom.
  zelvproCalculatorButtons(ppView* supervisor, const plat::RECT& frame);
  ~zelvproCalculatorButtons() override;

  static zelvproCalculatorButtons* Current();

  // Command 5000 from one of the five buttons: the button pops back and its message is broadcast.
  // Every other command is ignored.
  void DoCommand(int32_t command, intptr_t parameter) override;
  // Texts in the new language, the tips registered again with them.
  void UpdateTexts() override;
  // One tool per button over its window rectangle; nothing without the document window's control.
  virtual void AddToolTips();
  virtual void RemoveToolTips();

  ppButton* Button(int32_t i) const { return buttons_[size_t(i)]; }

 private:
  std::array<ppButton*, kButtonCount> buttons_{};  // subviews
};
