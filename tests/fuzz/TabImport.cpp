// Tab-separated text imported into a table, as from a user's file: the first byte chooses the field
// map (plain fields, a match key with a linked field, or a key that never adds); the rest is the
// text. Each input imports into a new database, so that an input found once replays alone. The same
// text is also split with ParseTabField into a buffer as small as the first byte says.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <vector>

#include "FuzzSupport.h"
#include "database/TableViewTestSupport.h"
#include "foundation/TabField.h"

using namespace viewtest;

namespace {

Handle MapOf(const std::vector<ppFieldMapEntry>& entries) {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, uint32_t(entries.size() * ppDatafile::kFieldMapEntrySize));
  for (size_t i = 0; i < entries.size(); ++i) {
    const int32_t words[3] = {entries[i].field, entries[i].linkedFileId, entries[i].third};
    std::memcpy(*h + i * ppDatafile::kFieldMapEntrySize, words, sizeof words);
  }
  return h;
}

// Splits the text into fields until its end; every field must end inside the text.
void SplitFields(const char* text, size_t length, size_t destinationSize) {
  std::vector<char> field(destinationSize);
  const char* at = text;
  bool lineEnded = false;
  while (at != nullptr) {
    const char* next = ParseTabField(field.data(), field.size(), at, lineEnded);
    if (next != nullptr && (next <= at || next > text + length)) __builtin_trap();
    if (std::strlen(field.data()) >= destinationSize) __builtin_trap();
    at = next;
  }
}

void Import(uint8_t choice, const char* text, size_t length) {
  const std::string path = (fuzz::ScratchFolder() / "import.db").string();
  std::filesystem::remove(path);
  ViewDatabase base(path);
  ppDatafile towns("towns", base.Db());
  AddTown(towns, "Oslo", 150);
  AddTown(towns, "Bergen", 5003);
  ppDatafile people("people", base.Db());
  AddPerson(people, "Ann", 30);
  static const std::vector<ppFieldMapEntry> kMaps[] = {
      {{kName}, {kAge}, {kNote}},
      {{kName, 0, 1}, {kAge}, {kTown, kTownsId, kTownName}, {kNote}},
      {{kName, 0, ppDatafile::kMatchKeyNoAdd}, {kTown, kTownsId, kZip}, {kAge}},
  };
  const fuzz::OwnedHandle map(MapOf(kMaps[choice % 3]));
  const fuzz::OwnedHandle lines(dbtest::HandleOf(std::string(text, length)));
  people.ImportText(lines.get(), map.get());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnsureZone();
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);  // NUL-terminated
  SplitFields(text.c_str(), text.size(), size_t(data[0] % 16) + 1);
  try {
    Import(data[0] >> 4, text.data(), text.size());
  } catch (int32_t) {
    // An error number is an answer; the import must not crash or leave the engine broken.
  }
  return 0;
}
