#include "platform/ResourceRegistry.h"

#include <algorithm>
#include <cctype>

namespace plat {
namespace {

std::string Upper(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return out;
}

}  // namespace

std::string ResourceTypeName(std::string_view type) { return Upper(type); }

std::string ResourceTypeName(ResourceKind kind) { return "#" + std::to_string(static_cast<unsigned>(kind)); }

ResourceRegistry& ResourceRegistry::Instance() {
  static ResourceRegistry registry;
  return registry;
}

void ResourceRegistry::Add(std::string_view type, uint16_t id, Bytes bytes) {
  Insert({Upper(type), std::string(), id, bytes});
}

void ResourceRegistry::Add(std::string_view type, std::string_view name, Bytes bytes) {
  Insert({Upper(type), Upper(name), 0, bytes});
}

void ResourceRegistry::Insert(Entry entry) {
  if (Lookup(entry.type, entry.name, entry.id)) {
    duplicates_.push_back(entry.type + " " + (entry.name.empty() ? std::to_string(entry.id) : entry.name));
    return;
  }
  entries_.push_back(std::move(entry));
}

const ResourceRegistry::Entry* ResourceRegistry::Lookup(const std::string& type, const std::string& name,
                                                        uint16_t id) const {
  // A few hundred entries, looked up at start-up and when a dialog or layout is first used: a linear
  // scan keeps registration order (first match wins) and costs nothing that matters.
  for (const Entry& e : entries_) {
    if (e.type == type && e.name == name && (!name.empty() || e.id == id)) return &e;
  }
  return nullptr;
}

std::optional<ResourceRegistry::Bytes> ResourceRegistry::Find(std::string_view type, uint16_t id) const {
  const Entry* e = Lookup(Upper(type), std::string(), id);
  if (!e) return std::nullopt;
  return e->bytes;
}

std::optional<ResourceRegistry::Bytes> ResourceRegistry::Find(std::string_view type,
                                                              std::string_view name) const {
  if (name.empty()) return std::nullopt;
  const Entry* e = Lookup(Upper(type), Upper(name), 0);
  if (!e) return std::nullopt;
  return e->bytes;
}

std::vector<ResourceRegistry::Bytes> ResourceRegistry::AllOfType(std::string_view type) const {
  const std::string wanted = Upper(type);
  std::vector<Bytes> all;
  for (const Entry& e : entries_) {
    if (e.type == wanted) all.push_back(e.bytes);
  }
  return all;
}

std::optional<ResourceRegistry::Bytes> ResourceRegistry::Find(ResourceKind kind, uint16_t id) const {
  return Find(ResourceTypeName(kind), id);
}

std::optional<ResourceRegistry::Bytes> ResourceRegistry::Find(ResourceKind kind,
                                                              std::string_view name) const {
  return Find(ResourceTypeName(kind), name);
}

HINSTANCE ProgramInstance() {
  // Any distinct address serves: only its being non-null tells the program's resources from the
  // system's.
  static char tag = 0;
  return reinterpret_cast<HINSTANCE>(&tag);
}

}  // namespace plat
