// What the elements ask of the configurator, served by a configurator of the controls: the
// program's one (the configurator host, looked up at each call) or one given at construction.
// Panels are made with their captions and one field per row of their description (texts, buttons,
// pictures, edit fields and dividers; selector and colour rows get no field here); the description of
// each panel is kept with the panels. Start-up installs the program's instance
// (iConfigurator::Install). User-interface thread only.
#pragma once

#include <memory>

#include "elements/topview/iConfigurator.h"

class ppConfigPanel;
class ppConfigurator;

class zelvproElementConfigurator : public iConfigurator {
 public:
  // `configurator` null: the configurator host of the moment. Not owned.
  explicit zelvproElementConfigurator(ppConfigurator* configurator = nullptr);

  // Field name, ':', tab caption of the focused field (see ppConfigurator::GetFocusedName).
  Vcon::String SelectionPath() override;
  void SelectPath(const Vcon::String& path) override;
  void RemoveAll() override;
  bool CommitInput() override;
  void AddPanel(std::unique_ptr<ConfigPanel> panel) override;
  void PlaceTabs() override;
  void PressAtOrigin() override;
  void PushObject(std::unique_ptr<ppCollaborator> object) override;
  void Repaint() override;
  plat::HWND Window() override;
  void PressPane() override;

 protected:
  // The panel for `description`, handed to the configurator with its caption; null without one.
  ppConfigPanel* MakePanel(const ConfigPanel& description);
  ppConfigurator* Target() const;

 private:
  ppConfigurator* configurator_;
};
