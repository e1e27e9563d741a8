#pragma once
// The resources compiled into the program: the stand-in for the platform's resource section.
// A resource is named by its type (a text such as "DICT" or "STRINGARRAY", or a numeric kind such as
// a menu) and by a 16-bit id or a name; types and names compare without regard to letter case.
// The bytes are static data of the program: the registry only points at them and owns nothing.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/WindowTypes.h"

namespace plat {

// Numeric resource kinds, with the values the platform gives them.
enum class ResourceKind : uint16_t {
  Cursor = 1,
  Bitmap = 2,
  Icon = 3,
  Menu = 4,
  Dialog = 5,
  StringTable = 6,
  Accelerator = 9,
  GroupCursor = 12,
  GroupIcon = 14,
};

// The type of a resource: its upper-cased name, or "#n" for a numeric kind.
std::string ResourceTypeName(std::string_view type);
std::string ResourceTypeName(ResourceKind kind);

class ResourceRegistry {
 public:
  using Bytes = std::span<const uint8_t>;

  // The one program-wide registry; compiled resources add themselves before main runs.
  static ResourceRegistry& Instance();

  void Add(std::string_view type, uint16_t id, Bytes bytes);
  void Add(std::string_view type, std::string_view name, Bytes bytes);

  std::optional<Bytes> Find(std::string_view type, uint16_t id) const;
  std::optional<Bytes> Find(std::string_view type, std::string_view name) const;
  std::optional<Bytes> Find(ResourceKind kind, uint16_t id) const;
  std::optional<Bytes> Find(ResourceKind kind, std::string_view name) const;

  // The bytes of every resource of `type`, in registration order (a layout looked up by its
  // contents rather than its name, say).
  std::vector<Bytes> AllOfType(std::string_view type) const;

  // Resources that were added twice under one type and id or name; the first stays in force.
  const std::vector<std::string>& Duplicates() const { return duplicates_; }
  size_t Count() const { return entries_.size(); }

 private:
  struct Entry {
    std::string type;  // upper case, or "#n"
    std::string name;  // upper case; empty when the resource has an id
    uint16_t id = 0;
    Bytes bytes;
  };
  const Entry* Lookup(const std::string& type, const std::string& name, uint16_t id) const;
  void Insert(Entry entry);

  std::vector<Entry> entries_;
  std::vector<std::string> duplicates_;
};

// The program's own module handle: the instance whose resources (cursors, say) are the registry's.
// One fixed, non-null value for the life of the process.
HINSTANCE ProgramInstance();

// Registers one compiled resource at static initialisation; used by the generated sources.
struct ResourceRegistration {
  ResourceRegistration(const char* type, uint16_t id, const uint8_t* data, size_t size) {
    ResourceRegistry::Instance().Add(type, id, {data, size});
  }
  ResourceRegistration(const char* type, const char* name, const uint8_t* data, size_t size) {
    ResourceRegistry::Instance().Add(type, std::string_view(name), {data, size});
  }
};

}  // namespace plat
