#include "platform/ResetList.h"

#include <utility>

namespace plat {
namespace {

struct Entry {
  std::string name;
  std::function<void()> reset;
};

// Built on first use: modules add themselves from their static initialisers, in any order.
std::vector<Entry>& Entries() {
  static auto* entries = new std::vector<Entry>;
  return *entries;
}

}  // namespace

bool ResetList::Add(std::string name, std::function<void()> reset) {
  Entries().push_back({std::move(name), std::move(reset)});
  return true;
}

void ResetList::RunAll() {
  for (const Entry& entry : Entries()) entry.reset();
}

std::vector<std::string> ResetList::Names() {
  std::vector<std::string> names;
  for (const Entry& entry : Entries()) names.push_back(entry.name);
  return names;
}

}  // namespace plat
