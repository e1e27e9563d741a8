#include "tools/mkcatalog/BlobNotation.h"

#include <cmath>
#include <cstring>
#include <sstream>
#include <stdexcept>

#include "tools/mkcatalog/PictureMaker.h"
#include "tools/mkcatalog/ValueText.h"

namespace mkcatalog {
namespace {

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> SplitEntries(const std::string& body) {
  std::vector<std::string> entries;
  std::istringstream in(body);
  std::string entry;
  while (std::getline(in, entry, ';')) {
    entry = Trim(entry);
    if (entry.empty()) throw std::invalid_argument("an empty entry between ';'");
    entries.push_back(entry);
  }
  if (entries.empty()) throw std::invalid_argument("no entries after the kind");
  return entries;
}

template <typename T>
void Append(std::vector<uint8_t>& out, T value) {
  uint8_t bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  out.insert(out.end(), bytes, bytes + sizeof(T));
}

// A float or double word also stands for a 32-bit word in the entry checks (a record id, a kind):
// values a word cannot hold are refused rather than converted (that conversion is undefined).
int32_t WholeWord(double value, const std::string& word) {
  if (!std::isfinite(value)) throw std::invalid_argument("'" + word + "' is not a finite number");
  if (!(value > -2147483649.0 && value < 2147483648.0))
    throw std::invalid_argument("'" + word + "' lies outside the 32-bit range");
  return int32_t(value);
}

float FloatWord(std::string text) {
  if (!text.empty() && (text.back() == 'f' || text.back() == 'F')) text.pop_back();
  const std::optional<double> value = ParseReal(text);
  if (!value) throw std::invalid_argument("'" + text + "' is not a number");
  WholeWord(*value, text);
  // Rounding to float can still carry a value just below 2^31 up to it.
  WholeWord(double(float(*value)), text);
  return float(*value);
}

bool LooksReal(const std::string& word) {
  if (word.rfind("0x", 0) == 0) return false;
  return word.find_first_of(".eEfF") != std::string::npos;
}

// Appends one typed word; returns its value as a word and the layout it names, if any.
int32_t AppendWord(const std::string& word, BlobContext& context, std::vector<uint8_t>& out,
                   std::string& layout) {
  layout.clear();
  if (const std::optional<int32_t> colour = ParsePercentColour(word)) {
    Append(out, *colour);
    return *colour;
  }
  if (word.find(':') != std::string::npos) {
    const int32_t id = ReferenceValue(word, context, &layout);
    Append(out, id);
    return id;
  }
  if (word.size() > 1 && (word.back() == 'd' || word.back() == 'D')) {
    const std::optional<double> value = ParseReal(word.substr(0, word.size() - 1));
    if (!value) throw std::invalid_argument("'" + word + "' is not a number");
    const int32_t whole = WholeWord(*value, word);
    Append(out, *value);
    return whole;
  }
  if (LooksReal(word)) {
    const float value = FloatWord(word);
    Append(out, value);
    return int32_t(value);
  }
  const std::optional<int32_t> value = ParseWord(word);
  if (!value) throw std::invalid_argument("'" + word + "' is not a number");
  Append(out, *value);
  return *value;
}

Blob Words(const std::string& body, BlobContext& context, bool floatsOnly) {
  Blob blob;
  for (const std::string& entryText : SplitEntries(body)) {
    std::istringstream in(entryText);
    std::string word;
    BlobEntry entry;
    const size_t start = blob.bytes.size();
    for (int i = 0; in >> word; ++i) {
      std::string layout;
      int32_t value = 0;
      if (floatsOnly) {
        value = int32_t(FloatWord(word));
        Append(blob.bytes, FloatWord(word));
      } else {
        value = AppendWord(word, context, blob.bytes, layout);
      }
      if (i == 0) entry.firstLayout = layout, entry.firstWord = value;
      if (i == 1) entry.secondWord = value;
    }
    entry.size = uint32_t(blob.bytes.size() - start);
    blob.entries.push_back(entry);
  }
  return blob;
}

}  // namespace

int32_t ReferenceValue(const std::string& text, BlobContext& context, std::string* layout) {
  const size_t colon = text.find(':');
  const size_t star = text.find('*', colon);
  const size_t plus = text.find('+', colon);
  const size_t nameEnd = std::min(star, plus);
  const std::string table = text.substr(0, colon);
  const std::string name =
      text.substr(colon + 1, nameEnd == std::string::npos ? std::string::npos : nameEnd - colon - 1);
  if (table.empty() || name.empty()) throw std::invalid_argument("'" + text + "' is not layout:name");
  int64_t value = context.RecordId(table, name);
  if (star != std::string::npos) {
    const std::optional<int32_t> k =
        ParseWord(text.substr(star + 1, plus == std::string::npos ? plus : plus - star - 1));
    if (!k) throw std::invalid_argument("'" + text + "': bad factor after '*'");
    value *= *k;
  }
  if (plus != std::string::npos) {
    const std::optional<int32_t> c = ParseWord(text.substr(plus + 1));
    if (!c) throw std::invalid_argument("'" + text + "': bad number after '+'");
    value += *c;
  }
  if (value > INT32_MAX || value < INT32_MIN) throw std::invalid_argument("'" + text + "' is out of range");
  if (layout != nullptr) *layout = table;
  return int32_t(value);
}

Blob ParseBlob(const std::string& cell, BlobContext& context) {
  if (cell.empty()) return {};
  const size_t colon = cell.find(':');
  if (colon == std::string::npos)
    throw std::invalid_argument("a blob is \"<kind>: ...\" (points, words, table, file, png)");
  const std::string kind = cell.substr(0, colon);
  const std::string body = Trim(cell.substr(colon + 1));
  if (kind == "points") return Words(body, context, true);
  if (kind == "words") return Words(body, context, false);
  Blob blob;
  if (kind == "table") {
    blob.bytes = context.EmbeddedTable(body);
  } else if (kind == "file") {
    blob.bytes = context.FileBytes(body);
  } else if (kind == "png") {
    blob.bytes = MakePicture(body);
  } else {
    throw std::invalid_argument("unknown blob kind '" + kind + "' (points, words, table, file, png)");
  }
  return blob;
}

}  // namespace mkcatalog
