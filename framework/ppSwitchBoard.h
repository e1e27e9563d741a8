#pragma once
// The switchboard: parts of the program that do not know each other exchange notices through it.
// Collaborators subscribe to (channel, id) pairs; a broadcast reaches every matching subscriber, the
// newest subscription first. -1 is a wildcard on both sides. Named messages ("UpdateCalculation")
// travel on channel 10000 with ids from one program-wide name table.
// User-interface thread only.

#include <cstdint>
#include <string>

class ppCollaborator;

class ppSwitchBoard {
 public:
  static constexpr int32_t kNamedChannel = 10000;

  ppSwitchBoard() = default;
  virtual ~ppSwitchBoard();
  ppSwitchBoard(const ppSwitchBoard&) = delete;
  ppSwitchBoard& operator=(const ppSwitchBoard&) = delete;

  // The one program-wide switchboard.
  static ppSwitchBoard& Global();

  // The id of a message name; an unknown name gets the next id (10000 + the table's size) when
  // `create` is set, else -1.
  static int32_t MessageIdByName(const std::string& name, bool create);
  // Forgets every name. Only tests use it, to start from a fresh table.
  static void ResetNameTableForTests();

  void Subscribe(ppCollaborator* subscriber, int32_t channel, int32_t id);
  // Removes every subscription that matches; a null subscriber matches all.
  void Unsubscribe(ppCollaborator* subscriber, int32_t channel, int32_t id);
  // The parameter's meaning belongs to the message; it may carry a pointer (a pressed button).
  void Dispatch(ppCollaborator* sender, int32_t channel, int32_t id, intptr_t parameter);

  int32_t SubscriptionCount() const;

 private:
  struct Node {
    ppCollaborator* subscriber;
    int32_t channel;
    int32_t id;
    Node* next;
    bool removed;  // unsubscribed during a dispatch; unlinked when the outermost dispatch ends
  };
  static bool Matches(const Node& node, ppCollaborator* subscriber, int32_t channel, int32_t id);
  void SweepRemoved();

  Node* head_ = nullptr;
  int32_t dispatching_ = 0;  // nesting depth of Dispatch
};
