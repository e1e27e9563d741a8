// The small panel at the bottom left of the editor canvas: two buttons that turn the selection
// clockwise (2229) and counterclockwise (2225) by the rotation step, and an edit field showing the
// step in degrees. The step is the panel's one property, "Rotation": read in degrees, stored as the
// program-wide rotation step in radians (elements/base/RotationStep.h). The field is bound to it by
// a property data unit, so typing a value goes through the configurator's undoable edit path.
//
// The buttons send command 5000 up to the editor canvas, which turns it into the application's
// 4008 or 4009. Ownership: the buttons and the configurator (with its panel and field) are subviews.
// User-interface thread only.
#pragma once

#include <cstdint>

#include "database/iProperty.h"
#include "framework/ppView.h"

class zelvproElement;

class ppButton;
class ppConfigurator;
class ppEditTextField;

class zelvproRotatePanel : public ppView, public iProperty {
 public:
  static constexpr int32_t kClockwiseButton = 2229, kCounterclockwiseButton = 2225;
  // Tool tips: text ids and entries of the default tip list.
  static constexpr int32_t kClockwiseTipText = 1107, kClockwiseTipEntry = 18;
  static constexpr int32_t kCounterclockwiseTipText = 1106, kCounterclockwiseTipEntry = 19;
  static constexpr const char* kRotationProperty = "Rotation";

  // `frame` in the supervisor's coordinates; the panel stays at the supervisor's left and follows
  // its bottom edge.
  zelvproRotatePanel(ppView* supervisor, const plat::RECT& frame);
  ~zelvproRotatePanel() override;

  // Buttons back to normal and the field editable; buttons greyed (state 3) and the field read-only.
  void Enable();
  void Disable();
  // Enabled when `topCanvas` has a selection and none of it is fixed in place (flag 2); one walk of
  // the selection.
  void FollowSelection(zelvproElement* topCanvas);
  bool IsEnabled() const { return enabled_; }

  void DrawContent(ppDC& /*dc*/) override {}
  void UpdateTexts() override;
  void AddToolTips(uint32_t word) override;
  void RemoveToolTips() override;

  // ---- iProperty: index 0 "Rotation" (degrees, a float value); nothing else.
  int32_t IndexOf(const Vcon::String& name) override;
  void GetPropertyName(Vcon::String& out, int32_t index) override;
  int32_t GetPropertyCount() override { return 1; }
  ppParameter GetValue(int32_t index) override;
  // Degrees strictly between 0 and 360 become the step; anything else leaves it.
  void SetValue(int32_t index, const ppParameter& value) override;

  ppButton* ClockwiseButton() const { return clockwise_; }
  ppButton* CounterclockwiseButton() const { return counterclockwise_; }
  ppEditTextField* Field() const { return field_; }
  ppConfigurator* Configurator() const { return configurator_; }

 private:
  ppButton* clockwise_ = nullptr;           // subview
  ppButton* counterclockwise_ = nullptr;    // subview
  ppConfigurator* configurator_ = nullptr;  // subview; owns the panel and the field
  ppEditTextField* field_ = nullptr;        // in the configurator's panel
  bool enabled_ = true;
};
