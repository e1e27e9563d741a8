// The base of every configurator control: a view that shows one value, reads and writes it through
// a data unit bound to a named property, and listens on the switchboard (channel 10000) so that a
// change in one field refreshes every field showing a dependent value. Panels and the configurator
// are fields too, so focus, layout and naming travel up and down the same tree.
//
// The owner is the view given as parent at construction; it stays the owner when the field is
// detached from or re-inserted into another supervisor. Focus and panel-frame questions go to the
// owner, configurator and layout questions to the supervisor. The field owns its data unit.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/ppParameter.h"
#include "framework/ppCollaborator.h"
#include "framework/ppView.h"

class ppConfigurator;
class ppDataUnit;
class ppSwitchBoard;

class ppField : public ppView, public ppCollaborator {
 public:
  // Named messages travel on this channel.
  static constexpr int32_t kMessageChannel = 10000;

  // `parent` may be null; `unit` (may be null) passes to the field; `names` are message names
  // separated by '|', of which only those the switchboard already knows are listened to.
  ppField(ppView* parent, ppDataUnit* unit, const std::string& names);
  // On `board` explicitly, subscribed to nothing (the configurator's form).
  ppField(ppView* parent, ppDataUnit* unit, ppSwitchBoard* board);
  ~ppField() override;

  // ---- Field operations.
  // Places the field with its top at `top` (panel pixels); answers the next field's top.
  virtual int32_t LayoutAt(int32_t top);
  virtual void RequestLayout();
  virtual void GetPanelFrame(plat::RECT* frame);
  virtual ppConfigurator* GetConfigurator();
  virtual void AddFocusable(ppField* field);
  virtual ppField* FocusNext(ppField* from);
  virtual ppField* FocusPrevious(ppField* from);
  virtual void SetFocusTo(ppField* field);
  virtual ppField* GetFocusedField();
  virtual std::string GetFocusedName();
  virtual bool FocusByName(const std::string& name);
  // Re-reads the value; redraws when it differs from the one shown. Never broadcasts.
  virtual void Refresh(int32_t channel, int32_t id, ppCollaborator* sender, intptr_t parameter);
  // The data unit's name; empty without one.
  std::string GetName() override;

  // ---- Collaborator and view hooks.
  void ReceiveMessage(ppCollaborator* sender, int32_t channel, int32_t id, intptr_t parameter) override;
  void WillBeDeleted() override { RemoveToolTips(); }
  // Mouse, keys and commands mark the field and its owners busy while they run (see IsBusy).
  bool MouseDown(int32_t x, int32_t y) override;
  void KeyDown(signed char key, int32_t flags) override;
  void DoCommand(int32_t command, intptr_t parameter) override;

  // The user-edit path of every field: writes through the data unit, then broadcasts and redraws
  // when the value differs from the one shown.
  void SetValue(const ppParameter& value);
  // The value after re-reading it from the data unit.
  ppParameter GetValue();
  // Broadcasts every message id of the field except `skip` (-1: all), in order.
  void BroadcastChange(int32_t skip);
  void SetMargins(int32_t left, int32_t top, int32_t right, int32_t bottom);

  ppView* Owner() const { return owner_; }
  ppField* NextField() const { return next_; }
  void SetNextField(ppField* next) { next_ = next; }
  ppDataUnit* DataUnit() const { return unit_.get(); }
  const std::vector<int32_t>& MessageIds() const { return messageIds_; }
  const ppParameter& ShownValue() const { return shown_; }
  // Left, top, right, bottom in pixels.
  const int32_t* Margins() const { return margins_; }
  // True while this field or a field it owns is inside its own mouse, key, command or value call:
  // deleting it then would pull the call's object away under it.
  bool IsBusy() const { return busy_ > 0; }

 protected:
  // Marks the field and the fields above it (by owner) busy for a scope.
  class BusyScope {
   public:
    explicit BusyScope(ppField* field);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

   private:
    std::vector<ppField*> marked_;
  };

  // `value` differs from `shown` by type or by payload.
  static bool Differ(const ppParameter& value, const ppParameter& shown);

  int32_t margins_[4] = {0, 0, 0, 0};

 private:
  static ppSwitchBoard* BoardOf(ppView* parent);
  void SubscribeNames(const std::string& names);

  ppView* owner_;
  ppField* next_ = nullptr;
  std::unique_ptr<ppDataUnit> unit_;
  ppParameter value_;
  ppParameter shown_;
  std::vector<int32_t> messageIds_;
  int32_t busy_ = 0;
};
