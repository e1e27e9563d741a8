// The area of the document window in which the program-wide configurator shows the properties of
// whatever the user works on. It makes the configurator (which fills it) and, at the first text
// update, the document configurator. It follows the window's right edge and height, or keeps its
// place across when the application's settings ask for the other arrangement (flags1
// kStayingConfiguratorPane). What the configurator shows is chosen by those who fill it.
// User-interface thread only.
#pragma once

#include <cstdint>

#include "framework/ppCollaborator.h"
#include "framework/ppView.h"

class zelvproConfigurator;
class zelvproDocConfigurator;

class zelvproConfiguratorPane : public ppView, public ppCollaborator {
 public:
  // Application colour and frame pictures of the pane.
  static constexpr int32_t kBackgroundFill = 1008;
  static constexpr int32_t kFramePicture = 1101;

  // `frame` in the document window's coordinates.
  zelvproConfiguratorPane(ppView* documentWindow, const plat::RECT& frame);
  ~zelvproConfiguratorPane() override;

  // Makes the document configurator at the first call.
  void UpdateTexts() override;
  void ReceiveMessage(ppCollaborator*, int32_t, int32_t, intptr_t) override {}

  zelvproConfigurator* Configurator() const { return configurator_; }
  zelvproDocConfigurator* DocConfigurator() const { return docConfigurator_; }
  ppView* Background() const { return background_; }

 private:
  zelvproConfigurator* configurator_;  // a subview
  ppView* background_;                 // a subview, drawn first
  zelvproDocConfigurator* docConfigurator_ = nullptr;
};
