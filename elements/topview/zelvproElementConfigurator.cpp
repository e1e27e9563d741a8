#include "elements/topview/zelvproElementConfigurator.h"

#include "controls/ppConfigPanel.h"
#include "controls/ppConfigurator.h"
#include "framework/ppCollaborator.h"
#include "platform/WindowApi.h"

zelvproElementConfigurator::zelvproElementConfigurator(ppConfigurator* configurator)
    : configurator_(configurator) {}

ppConfigurator* zelvproElementConfigurator::Target() const {
  return configurator_ != nullptr ? configurator_ : ppConfigurator::Host();
}

Vcon::String zelvproElementConfigurator::SelectionPath() {
  ppConfigurator* target = Target();
  return target != nullptr ? Vcon::String(target->GetFocusedName().c_str()) : Vcon::String();
}

void zelvproElementConfigurator::SelectPath(const Vcon::String& path) {
  if (ppConfigurator* target = Target()) target->FocusByName(path);
}

void zelvproElementConfigurator::RemoveAll() {
  if (ppConfigurator* target = Target()) target->RemoveAll();
}

ppConfigPanel* zelvproElementConfigurator::MakePanel(const ConfigPanel& description) {
  ppConfigurator* target = Target();
  if (target == nullptr) return nullptr;
  auto* panel = new ppConfigPanel(target);
  panel->SetName(description.name);
  target->AddPanel(panel);
  return panel;
}

void zelvproElementConfigurator::AddPanel(std::unique_ptr<ConfigPanel> panel) {
  if (!panel || MakePanel(*panel) == nullptr) return;
  // The rows' sources (lists, pictures) live exactly as long as the panels.
  Target()->PushObject(std::move(panel));
}

void zelvproElementConfigurator::PlaceTabs() {
  if (ppConfigurator* target = Target()) {
    target->PlaceTabs();
    target->Invalidate();
  }
}

void zelvproElementConfigurator::PressAtOrigin() {
  ppConfigurator* target = Target();
  if (target == nullptr) return;
  plat::RECT frame;
  target->GetWindowFrame(&frame);
  if (plat::HWND window = target->GetHWND()) plat::SetFocus(window);
  target->MouseDown(frame.left, frame.top);
}

void zelvproElementConfigurator::PushObject(std::unique_ptr<ppCollaborator> object) {
  if (ppConfigurator* target = Target()) target->PushObject(std::move(object));
}

void zelvproElementConfigurator::Repaint() {
  ppConfigurator* target = Target();
  if (target == nullptr) return;
  ppView* pane = target->GetSupervisor();
  (pane != nullptr ? pane : target)->Invalidate();
}

plat::HWND zelvproElementConfigurator::Window() {
  ppConfigurator* target = Target();
  return target != nullptr ? target->GetHWND() : nullptr;
}

void zelvproElementConfigurator::PressPane() {
  ppConfigurator* target = Target();
  if (target == nullptr) return;
  ppView* pane = target->GetSupervisor();
  (pane != nullptr ? pane : target)->IsDoubleClick(0, 0);
}
