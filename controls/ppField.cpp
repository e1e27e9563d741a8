#include "controls/ppField.h"

#include "controls/ppConfigurator.h"
#include "framework/ppDataUnit.h"
#include "framework/ppSwitchBoard.h"

ppSwitchBoard* ppField::BoardOf(ppView* parent) {
  if (parent == nullptr) return nullptr;
  if (auto* field = dynamic_cast<ppField*>(parent)) {
    if (ppConfigurator* configurator = field->GetConfigurator()) return configurator->Board();
  }
  if (auto* collaborator = dynamic_cast<ppCollaborator*>(parent)) return collaborator->Board();
  return nullptr;
}

// A field stays where it is put when its supervisor changes size: panels lay their fields out.
ppField::ppField(ppView* parent, ppDataUnit* unit, const std::string& names)
    : ppView(parent, kStay, kStay), ppCollaborator(BoardOf(parent)), owner_(parent), unit_(unit) {
  SubscribeNames(names);
}

ppField::ppField(ppView* parent, ppDataUnit* unit, ppSwitchBoard* board)
    : ppView(parent, kStay, kStay), ppCollaborator(board), owner_(parent), unit_(unit) {}

ppField::~ppField() = default;

void ppField::SubscribeNames(const std::string& names) {
  size_t start = 0;
  while (start < names.size()) {
    size_t bar = names.find('|', start);
    if (bar == std::string::npos) bar = names.size();
    const std::string name = names.substr(start, bar - start);
    start = bar + 1;
    // Only names another part of the program registered: a field never invents a message.
    const int32_t id = ppSwitchBoard::MessageIdByName(name, false);
    if (id == -1) continue;
    Subscribe(kMessageChannel, id);
    messageIds_.push_back(id);
  }
}

// ---- Layout, focus and naming: the base passes them on.

int32_t ppField::LayoutAt(int32_t top) { return top; }

void ppField::RequestLayout() {
  if (auto* field = dynamic_cast<ppField*>(GetSupervisor())) field->RequestLayout();
}

void ppField::GetPanelFrame(plat::RECT* frame) {
  if (auto* field = dynamic_cast<ppField*>(owner_)) field->GetPanelFrame(frame);
}

ppConfigurator* ppField::GetConfigurator() {
  auto* field = dynamic_cast<ppField*>(GetSupervisor());
  return field != nullptr ? field->GetConfigurator() : nullptr;
}

void ppField::AddFocusable(ppField* field) {
  if (auto* owner = dynamic_cast<ppField*>(owner_)) owner->AddFocusable(field);
}

ppField* ppField::FocusNext(ppField* from) {
  auto* owner = dynamic_cast<ppField*>(owner_);
  return owner != nullptr ? owner->FocusNext(from) : nullptr;
}

ppField* ppField::FocusPrevious(ppField* from) {
  auto* owner = dynamic_cast<ppField*>(owner_);
  return owner != nullptr ? owner->FocusPrevious(from) : nullptr;
}

void ppField::SetFocusTo(ppField* field) {
  if (auto* owner = dynamic_cast<ppField*>(owner_)) owner->SetFocusTo(field);
}

ppField* ppField::GetFocusedField() {
  auto* owner = dynamic_cast<ppField*>(owner_);
  return owner != nullptr ? owner->GetFocusedField() : nullptr;
}

std::string ppField::GetFocusedName() {
  if (auto* owner = dynamic_cast<ppField*>(owner_); owner != nullptr && owner->GetFocusedField() == this)
    return GetName();
  for (int32_t i = 0; i < Subviews().Count(); ++i) {
    if (auto* field = dynamic_cast<ppField*>(Subviews().At(i))) {
      std::string name = field->GetFocusedName();
      if (!name.empty()) return name;
    }
  }
  return {};
}

bool ppField::FocusByName(const std::string& name) {
  if (!unit_) {
    for (int32_t i = 0; i < Subviews().Count(); ++i) {
      if (auto* field = dynamic_cast<ppField*>(Subviews().At(i));
          field != nullptr && field->FocusByName(name))
        return true;
    }
    return false;
  }
  // "field:tab" names compare only the field part.
  const std::string own = name.substr(0, name.find(':'));
  if (GetName() != own) return false;
  SetFocusTo(this);
  return true;
}

std::string ppField::GetName() { return unit_ ? std::string(unit_->GetName()) : std::string(); }

// ---- Values.

bool ppField::Differ(const ppParameter& value, const ppParameter& shown) {
  return value.Type() != shown.Type() || value != shown;
}

void ppField::Refresh(int32_t, int32_t, ppCollaborator*, intptr_t) {
  if (!unit_) return;
  unit_->GetValue(value_);
  if (shown_.Type() == ppParameter::kNone) shown_ = value_;
  if (Differ(value_, shown_)) {
    shown_ = value_;
    Invalidate();
  }
}

void ppField::ReceiveMessage(ppCollaborator* sender, int32_t channel, int32_t id, intptr_t parameter) {
  Refresh(channel, id, sender, parameter);
}

void ppField::SetValue(const ppParameter& value) {
  BusyScope busy(this);
  if (unit_) {
    ppParameter current;
    unit_->GetValue(current);
    if (current.Type() != ppParameter::kNone) shown_ = current;
  }
  value_ = value;
  if (unit_) unit_->SetValue(value_, true);
  if (shown_.Type() == ppParameter::kNone) shown_ = value_;
  if (Differ(value_, shown_)) {
    BroadcastChange(-1);
    shown_ = value_;
    Invalidate();
  }
}

ppParameter ppField::GetValue() {
  if (unit_) unit_->GetValue(value_);
  if (shown_.Type() == ppParameter::kNone) shown_ = value_;
  return value_;
}

void ppField::BroadcastChange(int32_t skip) {
  for (int32_t id : messageIds_) {
    if (id != skip) Broadcast(kMessageChannel, id, reinterpret_cast<intptr_t>(this));
  }
}

void ppField::SetMargins(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  margins_[0] = left, margins_[1] = top, margins_[2] = right, margins_[3] = bottom;
}

// ---- Input that may retire the field.

ppField::BusyScope::BusyScope(ppField* field) {
  for (ppView* view = field; view != nullptr;) {
    auto* marked = dynamic_cast<ppField*>(view);
    if (marked == nullptr) break;
    ++marked->busy_;
    marked_.push_back(marked);
    view = marked->owner_;
  }
}

ppField::BusyScope::~BusyScope() {
  // The fields stay alive until the scope ends: a busy panel is only ever retired to the pending
  // deletions, which are emptied after the message.
  for (ppField* field : marked_) --field->busy_;
}

bool ppField::MouseDown(int32_t x, int32_t y) {
  BusyScope busy(this);
  return ppView::MouseDown(x, y);
}

void ppField::KeyDown(signed char key, int32_t flags) {
  BusyScope busy(this);
  ppView::KeyDown(key, flags);
}

void ppField::DoCommand(int32_t command, intptr_t parameter) {
  BusyScope busy(this);
  ppView::DoCommand(command, parameter);
}
