// The settings builder's cell notation: the bytes are one cell of a demo source table, read as a blob
// ("points:", "words:", "table:", "file:", "png:") and as each plain value (word, real, money, colour,
// four-character code, record reference). A refusal is an std::invalid_argument with a message; a
// blob of entries must account for every byte it wrote.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/mkcatalog/BlobNotation.h"
#include "tools/mkcatalog/ValueText.h"

namespace {

// Record ids for the names the demo sources use most, as a database being built answers them.
class Names : public mkcatalog::BlobContext {
 public:
  int32_t RecordId(const std::string& layout, const std::string& name) override {
    if (name.empty() || name.size() > 40)
      throw std::invalid_argument("no " + layout + " record named " + name);
    // Large ids too, so that factors and offsets reach the 32-bit bounds.
    return name[0] == 'b' ? 2'000'000'000 : int32_t(layout.size() * 100 + name.size());
  }
  std::vector<uint8_t> EmbeddedTable(const std::string& path) override {
    if (path.empty()) throw std::invalid_argument("this field holds no embedded table");
    return {0, 0, 0, 0};
  }
  std::vector<uint8_t> FileBytes(const std::string& path) override { return {path.begin(), path.end()}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string cell(reinterpret_cast<const char*>(data), size);
  Names names;
  try {
    const mkcatalog::Blob blob = mkcatalog::ParseBlob(cell, names);
    size_t counted = 0;
    for (const mkcatalog::BlobEntry& entry : blob.entries) counted += entry.size;
    if (!blob.entries.empty() && counted != blob.bytes.size()) __builtin_trap();
  } catch (const std::invalid_argument&) {
    // A refusal with its reason is the answer to a malformed cell.
  }
  mkcatalog::ParseWord(cell);
  mkcatalog::ParseReal(cell);
  if (const auto money = mkcatalog::ParseMoney(cell)) {
    // Whole units are held within 1e14, so the amount in ten-thousandths stays far from overflow.
    if (*money > 1'000'000'000'000'000'000 + 9999 || *money < -1'000'000'000'000'000'000 - 9999)
      __builtin_trap();
  }
  mkcatalog::ParsePercentColour(cell);
  mkcatalog::ParseFourCharCode(cell);
  try {
    mkcatalog::ReferenceValue(cell, names);
  } catch (const std::invalid_argument&) {
  }
  return 0;
}
