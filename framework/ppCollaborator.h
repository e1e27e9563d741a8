#pragma once
// A subscriber of switchboard broadcasts, inherited beside a class's main base. It keeps the
// switchboard it uses (the global one unless it was given another) and leaves every switchboard it
// may be on when it is destroyed.

#include <cstdint>
#include <string>

class ppSwitchBoard;

class ppCollaborator {
 public:
  explicit ppCollaborator(ppSwitchBoard* board = nullptr);
  // Uses the same switchboard as `other`; no subscription is copied.
  ppCollaborator(const ppCollaborator& other);
  ppCollaborator& operator=(const ppCollaborator&) = delete;
  virtual ~ppCollaborator();

  virtual void ReceiveMessage(ppCollaborator* sender, int32_t channel, int32_t id, intptr_t parameter);
  virtual std::string GetName();

  // On `board`, or on this collaborator's own switchboard when it is null.
  void Subscribe(int32_t channel, int32_t id, ppSwitchBoard* board = nullptr);
  void Broadcast(int32_t channel, int32_t id, intptr_t parameter, ppSwitchBoard* board = nullptr);
  // Subscribes on the named channel to every name of a '|'-separated list, registering new names.
  void SubscribeByNames(const std::string& names);

  ppSwitchBoard* Board() const { return board_; }

 private:
  ppSwitchBoard* board_;
};
