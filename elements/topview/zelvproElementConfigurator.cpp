#include "elements/topview/zelvproElementConfigurator.h"

#include <string>

#include "controls/ppButtonField.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigurator.h"
#include "controls/ppDivider.h"
#include "controls/ppEditTextField.h"
#include "controls/ppPictField.h"
#include "controls/ppTextField.h"
#include "elements/topview/ConfigSelectorFields.h"
#include "framework/ppButton.h"
#include "framework/ppCollaborator.h"
#include "framework/ppPicture.h"
#include "framework/ppPropertyDataUnit.h"
#include "platform/MessageBox.h"
#include "platform/WindowApi.h"

namespace {

// The field for one row; null for a kind this program does not know.
ppField* MakeField(ppConfigPanel* panel, const ConfigField& row) {
  switch (row.kind) {
    case ConfigField::kText: {
      auto* text = new ppTextField(panel, nullptr);
      text->SetText(row.text, 0);
      return text;
    }
    case ConfigField::kButton: {
      // A row names its button by its command id, which is also the id of the button's pictures.
      auto* button = new ppButtonField(panel, row.commandId, nullptr, std::string(row.name.c_str()));
      button->SetCommandId(row.commandId);
      button->Button()->SetCommandId(row.commandId);
      return button;
    }
    case ConfigField::kPicture: {
      if (row.picture == nullptr) return new ppPictField(panel, nullptr);
      ppPicture picture;
      MemLock(row.picture);
      picture.SetFromMemory(*row.picture, size_t(MemGetSize(row.picture)));
      MemUnlock(row.picture);
      return new ppPictField(panel, picture.IsEmpty() ? nullptr : &picture);
    }
    case ConfigField::kEditText: {
      auto* unit = new ppPropertyDataUnit(row.target, row.property, row.undoable);
      auto* edit = new ppEditTextField(panel, unit, std::string(), 1, false);
      edit->SetText(row.text, 0);
      if (row.columnWidth > 0) edit->SetColumnWidth(row.columnWidth);
      if (row.selectAll) edit->SelectAllNoScroll();
      return edit;
    }
    case ConfigField::kDivider:
      return new ppDivider(panel);
    case ConfigField::kSelector:
    case ConfigField::kColour:
      return MakeSelectorRowField(panel, row);
    default:
      return nullptr;
  }
}

}  // namespace

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

bool zelvproElementConfigurator::CommitInput() {
  ppConfigurator* target = Target();
  return target == nullptr || target->CommitFocusedInput();
}

void zelvproElementConfigurator::RemoveAll() {
  if (ppConfigurator* target = Target()) target->RemoveAll();
}

ppConfigPanel* zelvproElementConfigurator::MakePanel(const ConfigPanel& description) {
  ppConfigurator* target = Target();
  if (target == nullptr) return nullptr;
  auto* panel = new ppConfigPanel(target);
  panel->SetName(description.name);
  int32_t unreadable = 0;
  for (const ConfigField& row : description.fields) {
    ppField* field = nullptr;
    try {
      field = MakeField(panel, row);
    } catch (int32_t error) {
      // A selector reads its list while it is made: a row whose records cannot be read is left out,
      // so that the rest of the panel still works and the error does not end the program.
      unreadable = error;
      continue;
    }
    if (field == nullptr) continue;
    field->SetMargins(row.margins[0], row.margins[1], row.margins[2], row.margins[3]);
    panel->AddField(field);
  }
  target->AddPanel(panel);
  if (unreadable != 0) {
    const std::string text =
        "A field of this panel is left out: its catalogue records could not be read (error " +
        std::to_string(unreadable) + ").";
    plat::MessageBoxA(nullptr, text.c_str(), "Zelvo Pro", plat::MB_ICONHAND);
  }
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
